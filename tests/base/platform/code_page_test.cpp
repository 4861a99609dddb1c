// The player's code page from the language, and the conversions through iconv.
#include "base/platform/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(CodePage, FollowsTheLanguageAsWindowsDoes) {
    const std::pair<const char*, const char*> cases[] = {
        {"ko_KR.UTF-8", "CP949"}, {"ko", "CP949"},        {"ja_JP.UTF-8", "CP932"},
        {"zh_CN.UTF-8", "CP936"}, {"zh_TW.UTF-8", "CP950"}, {"zh_HK", "CP950"},
        {"pl_PL.UTF-8", "CP1250"}, {"cs_CZ", "CP1250"},   {"ru_RU.UTF-8", "CP1251"},
        {"sr_RS", "CP1251"},      {"sr_RS@latin", "CP1250"}, {"el_GR", "CP1253"},
        {"tr_TR", "CP1254"},      {"he_IL", "CP1255"},    {"ar_EG", "CP1256"},
        {"lt_LT", "CP1257"},      {"vi_VN", "CP1258"},    {"de_DE.UTF-8", "CP1252"},
        {"en_US", "CP1252"},      {"C", "CP1252"},        {"", "CP1252"}};
    for (const auto& [language, page] : cases)
        EXPECT_EQ(platform::CodePageForLanguage(language), page) << language;

    // LC_ALL, then LC_MESSAGES, then LANG; LANGUAGE's first entry before
    // them unless the locale is C.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        unsetenv(name);
    EXPECT_EQ(platform::CodePageFromEnvironment(), "CP1252");
    setenv("LANG", "ko_KR.UTF-8", 1);
    EXPECT_EQ(platform::CodePageFromEnvironment(), "CP949");
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    EXPECT_EQ(platform::CodePageFromEnvironment(), "CP932");
    setenv("LANGUAGE", "ru:en", 1);
    EXPECT_EQ(platform::CodePageFromEnvironment(), "CP1251");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(platform::CodePageFromEnvironment(), "CP1252");
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        unsetenv(name);
}

TEST(CodePage, ConvertsWithoutSubstitutes) {
    const platform::CodePage korean("CP949");
    std::string bytes;
    ASSERT_TRUE(korean.Encode("노래.mp3", bytes));
    EXPECT_EQ(bytes, "\xB3\xEB\xB7\xA1.mp3");
    EXPECT_EQ(korean.Decode(bytes), "노래.mp3");

    platform::Unencodable failure;
    EXPECT_FALSE(korean.Encode("🎵 mix.mp3", bytes, &failure));
    EXPECT_EQ(failure.character, "🎵");
    EXPECT_EQ(failure.codePoint, 0x1F3B5u);
    EXPECT_EQ(platform::CodePointText(failure.codePoint), "U+1F3B5");
    EXPECT_FALSE(korean.Encode("a\xFF", bytes, &failure)); // not UTF-8
    EXPECT_EQ(failure.codePoint, 0u);

    // Bytes that do not decode become U+FFFD each; the rest is kept.
    std::string text;
    EXPECT_FALSE(korean.Decode("\xB3\xEB\xE6.mp3\xB3", text));
    EXPECT_EQ(text, "노\xEF\xBF\xBD.mp3\xEF\xBF\xBD");
    // As a PC name they become "%HH", "%" beside them "%25", so the bytes
    // can be read back. A name that decodes keeps a "%" that reads as no
    // escape, and escapes one that would: two player names, one PC name never.
    EXPECT_FALSE(korean.PcName("\xB3\xEB\xE6%.mp3\xB3", text));
    EXPECT_EQ(text, "노%E6%25.mp3%B3");
    EXPECT_FALSE(korean.PcName("\xB3\xEB%E6.mp3", text));
    EXPECT_EQ(text, "노%25E6.mp3");
    EXPECT_TRUE(korean.PcName("50% off%.mp3", text));
    EXPECT_EQ(text, "50% off%.mp3");
    std::string other;
    EXPECT_FALSE(korean.PcName("caf\xE9.mp3", other)); // CP1252 bytes, not Korean
    EXPECT_TRUE(!korean.PcName("caf%E9.mp3", text) && text != other) << text;
    EXPECT_EQ(korean.CharacterLengths("\xB3\xEB" "a\xE6."),
              (std::vector<size_t>{2, 1, 1, 1}));

    EXPECT_EQ(platform::CodePage("CP1252").Decode("caf\xE9"), "café");
    EXPECT_EQ(platform::CodePage("no such page").Name(), "CP1252");
}

} // namespace
