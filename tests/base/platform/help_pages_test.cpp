// The help's contents, index, search and languages, read from the files of
// a help folder.
#include "base/platform/help_contents.h"
#include "base/platform/help_language.h"
#include "base/platform/help_search.h"
#include "test_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace platform;

// Nested lists give depths; quoting, case, entities and entries without a
// page are handled as the help project writes them.
TEST(HelpPages, TopicsKeepTheirNestingNamesAndAnchors) {
    const char* toc = R"(<HTML><BODY><UL>
<LI> <OBJECT type="text/sitemap">
<param name="Name" value="Songdock Help"><param name="Local" value="index.html"></OBJECT>
<UL>
  <LI><object type="text/sitemap"><PARAM NAME=name VALUE='Copy &amp; move'>
      <param name="Local" value="transfers.html#verify"></object>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="No page"></OBJECT>
</UL>
<LI> <OBJECT type="text/sitemap">
<param name="Name" value="&#xD0A4;&#48372;&#46300;"><param name="Local" value="keyboard.html"></OBJECT>
</UL></BODY></HTML>)";
    const auto topics = ParseHelpTopics(toc);
    ASSERT_EQ(topics.size(), 3u);
    EXPECT_EQ(topics[0].name, "Songdock Help");
    EXPECT_EQ(topics[0].depth, 0);
    EXPECT_EQ(topics[1].name, "Copy & move");
    EXPECT_EQ(topics[1].local, "transfers.html#verify");
    EXPECT_EQ(topics[1].depth, 1);
    EXPECT_EQ(topics[2].name, "\xED\x82\xA4\xEB\xB3\xB4\xEB\x93\x9C"); // three Hangul syllables
    EXPECT_EQ(topics[2].depth, 0);
    EXPECT_TRUE(ReadHelpTopics("/no/such/toc.hhc").empty());
}

class HelpFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "ko");
        testenv::WriteText(dir_ / "panes.html",
                           "<html><head><title>The two panes</title><style>p{color:red}</style>"
                           "</head><body><p>The <b>PC</b> list &amp; the Player list.</p>"
                           "<!-- hidden words --></body></html>");
        testenv::WriteText(dir_ / "keyboard.html",
                           "<html><head><title>Keyboard &amp; screen reader</title></head>"
                           "<body><p>Press F1 in any list.</p></body></html>");
        testenv::WriteText(
            dir_ / "ko/panes.html",
            "<html><head><title>KO panes</title></head><body>PC list ko</body></html>");
    }
    testenv::ScratchDir dir_;
};

TEST_F(HelpFolder, ALanguageFindsItsPagesAndFallsBackToEnglish) {
    EXPECT_EQ(LocalizedHelpFile(dir_.Path(), "ko", "panes.html#properties"),
              dir_ / "ko/panes.html#properties");
    EXPECT_EQ(LocalizedHelpFile(dir_.Path(), "ko", "keyboard.html"), dir_ / "keyboard.html");
    EXPECT_EQ(LocalizedHelpFile(dir_.Path(), "", "panes.html"), dir_ / "panes.html");
    // A code is a folder name, never a path out of the help.
    EXPECT_EQ(LocalizedHelpFile(dir_.Path(), "../ko", "panes.html"), dir_ / "panes.html");
    SetHelpLanguage("ko");
    EXPECT_EQ(HelpLanguage(), "ko");
    SetHelpLanguage("en");
    EXPECT_EQ(HelpLanguage(), "");
}

// Search finds pages by the words a person reads: every word, any case,
// not inside markup, comments or the styles; titles name what was found.
TEST_F(HelpFolder, SearchFindsPagesHoldingEveryWordOfTheirText) {
    const std::vector<std::string> pages{"keyboard.html", "panes.html", "missing.html"};
    auto titles = [&](const std::string& language, const std::string& words) {
        std::vector<std::string> found;
        for (const HelpHit& hit : SearchHelp(dir_.Path(), language, pages, words))
            found.push_back(hit.page + "=" + hit.title);
        return found;
    };
    using testing::ElementsAre;
    EXPECT_THAT(titles("", "pc PLAYER"), ElementsAre("panes.html=The two panes"));
    EXPECT_THAT(titles("", "list"),
                ElementsAre("keyboard.html=Keyboard & screen reader", "panes.html=The two panes"));
    EXPECT_THAT(titles("", "pc & the"), ElementsAre("panes.html=The two panes"));
    EXPECT_THAT(titles("", "hidden"), ElementsAre());
    EXPECT_THAT(titles("", "color"), ElementsAre());
    EXPECT_THAT(titles("", "b"), ElementsAre());
    EXPECT_THAT(titles("", "  "), ElementsAre());
    EXPECT_THAT(titles("ko", "ko"), ElementsAre("panes.html=KO panes"));
}

} // namespace
