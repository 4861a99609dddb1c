// Menus as data: balanced tables that keep the program's own texts. The
// string table's texts are checked where the program shows them.
#include "base/resources/ids.h"
#include "base/resources/menus.h"
#include "base/resources/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Walks a menu table and checks its structure; returns the command ids.
std::multiset<int> CheckMenu(std::span<const menus::MenuItem> menu) {
    std::multiset<int> commands;
    int depth = 0;
    for (const auto& item : menu) {
        depth += item.kind == menus::Kind::Popup ? 1 : item.kind == menus::Kind::End ? -1 : 0;
        if (item.kind == menus::Kind::Item || item.kind == menus::Kind::Check)
            commands.insert(item.id);
        EXPECT_GE(depth, 0);
        // The bar toggles carry a check mark; a toolkit refuses to check a
        // plain item.
        EXPECT_EQ(item.kind == menus::Kind::Check,
                  item.id == ids::kViewToolBar || item.id == ids::kViewStatusBar)
            << item.id;
    }
    EXPECT_EQ(depth, 0);
    return commands;
}

TEST(MenuTest, MenusAreBalancedAndKeepTheProgramsOwnTexts) {
    EXPECT_FALSE(CheckMenu(menus::MainMenu()).empty());
    EXPECT_EQ(CheckMenu(menus::ById(ids::kMemoryContextMenu)),
              (std::multiset<int>{32784, 32786, 32787, 32788, 32773, 32794, 32792, 32805}));
    EXPECT_EQ(CheckMenu(menus::ById(ids::kDesktopContextMenu)),
              (std::multiset<int>{ids::kDelete, ids::kProperties}));
    EXPECT_TRUE(menus::ById(1).empty());
    // Misspellings and double blanks are the program's own.
    std::set<std::string> texts;
    for (const auto& item : menus::MainMenu())
        if (item.text) texts.insert(item.text);
    EXPECT_EQ(texts.count("Low Format  Internal Memory"), 1u);
    EXPECT_EQ(texts.count("Download Interal Raw Data"), 1u);
    EXPECT_STREQ(text::kAboutOk, "\xED\x99\x95\xEC\x9D\xB8");
}

} // namespace
