// Name lists: entries and their texts, removal, and file-name matching.
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(NameListTest, EntriesKeepTheirTextsWhileOthersAreRemoved) {
    HNameList list;
    auto first = list.Add("/music/a.mp3", 3, 0);
    list.Add("REC01.QKA", 7, 4096, "second text");
    auto third = list.Add(nullptr, -1, 0);
    ASSERT_EQ(list.GetCount(), 3u);

    const char* name = nullptr;
    const char* second = "unset";
    int32_t v1 = 0;
    uint32_t v2 = 0;
    ASSERT_TRUE(list.GetAt(first, &name, &v1, &v2, &second));
    EXPECT_STREQ(name, "/music/a.mp3");
    EXPECT_EQ(v1, 3);
    EXPECT_EQ(second, nullptr);

    auto middle = std::next(list.GetHeadPosition());
    const char* keptName = nullptr;
    const char* keptSecond = nullptr;
    ASSERT_TRUE(list.GetAt(middle, &keptName, nullptr, &v2, &keptSecond));
    list.RemoveAt(first);
    list.RemoveAt(third);
    // Pointers into the surviving entry stay valid.
    EXPECT_STREQ(keptName, "REC01.QKA");
    EXPECT_STREQ(keptSecond, "second text");
    EXPECT_EQ(v2, 4096);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_FALSE(list.GetAt(list.End(), &name, nullptr, nullptr, nullptr));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(NameListTest, ContainsFileNameComparesTheNamePartIgnoringCase) {
    std::setlocale(LC_ALL, "C.UTF-8");
    HNameList list;
    list.Add("/home/user/Music/Song.MP3", 0, 0);
    list.Add("C:\\Voice\\REC01.WAV", 0, 0);
    list.Add("plain.txt", 0, 0);
    list.Add("/tmp/Überweisung.PDF", 0, 0);

    EXPECT_TRUE(list.ContainsFileName("song.mp3"));
    EXPECT_TRUE(list.ContainsFileName("/other/folder/SONG.mp3"));
    EXPECT_TRUE(list.ContainsFileName("rec01.wav"));
    EXPECT_TRUE(list.ContainsFileName("x\\y/Plain.TXT"));
    EXPECT_TRUE(list.ContainsFileName("überweisung.pdf"));
    EXPECT_FALSE(list.ContainsFileName("song.mp"));
    EXPECT_FALSE(list.ContainsFileName("Music"));
    EXPECT_FALSE(list.ContainsFileName(nullptr));
    // A trailing separator leaves an empty name part, which matches only an
    // entry that also ends in a separator.
    EXPECT_FALSE(list.ContainsFileName("/home/user/"));
    list.Add("/mnt/usb/", 0, 0);
    EXPECT_TRUE(list.ContainsFileName("D:\\"));
    // A name that is not UTF-8: its stray bytes compare as they are.
    list.Add("/srv/M\xfasica/Can\xe7\xe3o.MP3", 0, 0);
    EXPECT_TRUE(list.ContainsFileName("can\xe7\xe3o.mp3"));
    EXPECT_FALSE(list.ContainsFileName("can\xc7\xc3o.mp3"));
    EXPECT_FALSE(list.ContainsFileName("can\xe7o.mp3"));
}

TEST(DirEntryListTest, NamesAreOwnedCopiesOrAbsent) {
    HDirEntryList list;
    std::string source = "TRACK01.MP3";
    list.Add(source.c_str(), 0, 1234);
    list.Add(nullptr, 1, 0);
    source[0] = 'X';

    const char* name = "unset";
    int32_t number = -1;
    uint32_t size = 0;
    auto pos = list.GetHeadPosition();
    ASSERT_TRUE(list.GetAt(pos, &name, &number, &size));
    EXPECT_STREQ(name, "TRACK01.MP3");
    EXPECT_EQ(size, 1234u);
    ASSERT_TRUE(list.GetAt(std::next(pos), &name, &number, nullptr));
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(number, 1);
    list.RemoveAt(std::next(list.GetHeadPosition()));
    EXPECT_EQ(list.GetCount(), 1u);
    list.RemoveAll();
    EXPECT_FALSE(list.GetAt(list.GetHeadPosition(), &name, &number, &size));
}

} // namespace
