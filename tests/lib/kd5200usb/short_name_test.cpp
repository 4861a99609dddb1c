// Short 8.3 names made from long names, as a FAT file system makes them.
#include <gtest/gtest.h>

#include <set>

#include "lib/kd5200usb/short_name.h"

namespace {

using kd5200::MakeShortName;

std::string Short(const std::string& name, const std::set<std::string>& taken = {}) {
    return MakeShortName(name, [&](const std::string& text) { return taken.count(text) > 0; })
        .Text();
}

TEST(ShortName, ValidNamesKeepTheirFormInUpperCase) {
    EXPECT_EQ(Short("README.TXT"), "README.TXT");
    EXPECT_EQ(Short("readme.txt"), "README.TXT");
    EXPECT_EQ(Short("NOEXT"), "NOEXT");
    EXPECT_EQ(Short("A~B$C.{}"), "A~B$C.{}");
}

TEST(ShortName, OtherNamesGetANumericTail) {
    EXPECT_EQ(Short("My Song.mp3"), "MYSONG~1.MP3");
    EXPECT_EQ(Short("longfilename.text"), "LONGFI~1.TEX");
    EXPECT_EQ(Short("archive.tar.gz"), "ARCHIV~1.GZ");
    EXPECT_EQ(Short("a+b,c;d=e[f]g.x"), "A_B_C_~1.X");
    EXPECT_EQ(Short(".profile"), "PROFIL~1");
    EXPECT_EQ(Short("\xC3\xBC"
                    "ber.mp3"),
              "_BER~1.MP3"); // one '_' per non-ASCII character
    EXPECT_EQ(Short("x.mpeg3"), "X~1.MPE");
}

TEST(ShortName, TailsKeepNamesUniqueInTheMemory) {
    EXPECT_EQ(Short("My Song.mp3", {"MYSONG~1.MP3"}), "MYSONG~2.MP3");
    EXPECT_EQ(Short("readme.txt", {"README.TXT"}), "README~1.TXT");
    std::set<std::string> taken;
    for (int i = 1; i <= 9; ++i)
        taken.insert("LONGNA~" + std::to_string(i) + ".MP3");
    EXPECT_EQ(Short("long name.mp3", taken), "LONGN~10.MP3");
}

TEST(ShortName, LongNamesTheMemoryRefuses) {
    using kd5200::ValidLongName;
    EXPECT_TRUE(ValidLongName("My Song (live).mp3"));
    EXPECT_TRUE(ValidLongName(std::string(255, 'a')));
    EXPECT_FALSE(ValidLongName(std::string(256, 'a')));
    EXPECT_FALSE(ValidLongName(""));
    for (const char* bad :
         {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\tb", "end.", "end "})
        EXPECT_FALSE(ValidLongName(bad)) << bad;
    EXPECT_TRUE(kd5200::SameName("Song.MP3", "song.mp3"));
    EXPECT_FALSE(kd5200::SameName("song.mp3", "song.mp4"));
}

} // namespace
