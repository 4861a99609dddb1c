// Short 8.3 names made from long names, as a FAT file system makes them.
#include <gtest/gtest.h>

#include <cstdlib>
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
    EXPECT_EQ(Short("\xFC"
                    "ber.mp3"),
              "_BER~1.MP3"); // one '_' per single-byte non-ASCII character (CP1252 here)
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

// Names are in the player's code page: a double-byte character stays whole
// in the short name, and is never cut in two to make room for the tail.
TEST(ShortName, DoubleByteCharactersStayWhole) {
    setenv("KD5200_CODEPAGE", "CP949", 1);
    // "가나다라마바사.mp3" and "노래 1.mp3" in CP949.
    const std::string seven = "\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3\xB8\xB6\xB9\xD9\xBB\xE7";
    EXPECT_EQ(Short("a" + seven + ".mp3"), "A\xB0\xA1\xB3\xAA~1.MP3"); // 5 bytes, not 6
    EXPECT_EQ(Short("\xB3\xEB\xB7\xA1 1.mp3"), "\xB3\xEB\xB7\xA1" "1~1.MP3");
    EXPECT_EQ(Short(seven + "." + seven), "\xB0\xA1\xB3\xAA\xB4\xD9~1.\xB0\xA1");
    // A short Korean name is its own short name; a second byte that is a
    // letter is not upper-cased ("갂" is 81 61).
    EXPECT_EQ(Short("\xB3\xEB\xB7\xA1.mp3"), "\xB3\xEB\xB7\xA1.MP3");
    EXPECT_EQ(Short("\x81\x61.mp3"), "\x81\x61.MP3");
    // A second byte may be '\\' or '|' in CP932: still a valid long name.
    setenv("KD5200_CODEPAGE", "CP932", 1);
    EXPECT_TRUE(kd5200::ValidLongName("\x83\x5C.mp3")); // "ソ.mp3"
    EXPECT_FALSE(kd5200::ValidLongName("a\\b"));
    unsetenv("KD5200_CODEPAGE");
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
