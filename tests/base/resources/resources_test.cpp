// String table and menus as data.
#include "base/resources/ids.h"
#include "base/resources/menus.h"
#include "base/resources/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(StringTableTest, TextsStandExactlyAsTheProgramShowsThem) {
    EXPECT_STREQ(strings::Load(sid::kAppTitle), "Songdock");
    EXPECT_STREQ(strings::Load(sid::kMemoryTotals), "Total %d%s,  Remain %d%s,  %d File(s)");
    EXPECT_STREQ(strings::Load(sid::kOverwrite), "Already exist the file.\nWill you overwrite?");
    EXPECT_STREQ(strings::Load(sid::kHexFilter),
                 "Intel Hex File(*.hex)\n*.hex\nAll Files(*.*)\n*.*\n\n");
    EXPECT_STREQ(strings::Load(sid::kRestart), "Please restart this program~");
    EXPECT_STREQ(strings::Load(sid::kFirmwarePaneSize),
                 "ZENTROVIA KD5200 FILE SYSTEM JAN 30 2002 99:99:99 9.9 ???");
    EXPECT_STREQ(strings::Load(sid::kTipDownloadInternal), "Download To Internal Memory");
    EXPECT_STREQ(strings::Load(sid::kTipUploadExternal), "Upload From External Memory");
    EXPECT_EQ(strings::Load(1), nullptr);
    EXPECT_EQ(strings::Load(9999), nullptr);
    EXPECT_STREQ(text::kAboutOk, "\xED\x99\x95\xEC\x9D\xB8");
}

// Walks a menu table and checks its structure; returns the command ids.
std::multiset<int> CheckMenu(std::span<const menus::MenuItem> menu) {
    std::multiset<int> commands;
    int depth = 0;
    for (const auto& item : menu) {
        switch (item.kind) {
        case menus::Kind::Popup:
            ++depth;
            break;
        case menus::Kind::End:
            --depth;
            break;
        case menus::Kind::Item:
        case menus::Kind::Check:
            commands.insert(item.id);
            break;
        case menus::Kind::Separator:
            break;
        }
        EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    return commands;
}

TEST(MenuTest, MenusAreBalancedAndCarryTheirCommands) {
    const auto main = CheckMenu(menus::MainMenu());
    for (int id : {ids::kAppExit, ids::kOption, ids::kRefresh, ids::kFormatAll,
                   ids::kLowFormatExternal, ids::kUpgradeBoot, ids::kViewFontInfo,
                   ids::kViewRawData, ids::kAppAbout, ids::kProperties, ids::kHelp})
        EXPECT_EQ(main.count(id), 1u) << id;
    EXPECT_EQ(main.size(), 27u);
    // Misspellings and double blanks are the program's own.
    bool seenLow = false, seenRaw = false;
    for (const auto& item : menus::MainMenu()) {
        if (item.id == ids::kLowFormatInternal) {
            EXPECT_STREQ(item.text, "Low Format  Internal Memory");
            seenLow = true;
        }
        if (item.id == ids::kRawDataInternal) {
            EXPECT_STREQ(item.text, "Download Interal Raw Data");
            seenRaw = true;
        }
    }
    EXPECT_TRUE(seenLow && seenRaw);
    // The bar toggles carry a check mark; a toolkit refuses to check a
    // plain item.
    for (const auto& item : menus::MainMenu())
        EXPECT_EQ(item.kind == menus::Kind::Check,
                  item.id == ids::kViewToolBar || item.id == ids::kViewStatusBar)
            << item.id;

    const auto context = CheckMenu(menus::ById(ids::kMemoryContextMenu));
    EXPECT_EQ(context,
              (std::multiset<int>{32784, 32786, 32787, 32788, 32773, 32794, 32792, 32805}));
    EXPECT_EQ(CheckMenu(menus::ById(ids::kDesktopContextMenu)),
              (std::multiset<int>{ids::kDelete, ids::kProperties}));
    EXPECT_TRUE(menus::ById(1).empty());
    EXPECT_EQ(menus::MainAccelerators().size(), 13u);
}

} // namespace
