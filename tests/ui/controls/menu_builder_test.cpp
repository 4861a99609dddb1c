#include <gtest/gtest.h>
#include <wx/frame.h>

#include <vector>

#include "ui/controls/menu_builder.h"
#include "base/resources/ids.h"
#include "tests/support/gui_harness/gui_harness.h"

using controls::BuildAccelerators;
using controls::BuildMenuBar;
using controls::BuildPopupMenu;
using controls::MenuItemId;

TEST(MenuBuilder, MainMenuKeepsItsTextsCommandsAndToggles) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "menus");
    auto bar = BuildMenuBar(menus::MainMenu());
    ASSERT_EQ(bar->GetMenuCount(), 5u);
    // Every title has its mnemonic (Alt+F, E, V, T, H).
    const char* titles[] = {"&File", "&Edit", "&View", "&Tool", "&Help"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(bar->GetMenuLabel(i), titles[i]);
    wxMenuBar* shown = bar.release();
    frame->SetMenuBar(shown);

    const wxMenuItem* low = shown->FindItem(MenuItemId(ids::kLowFormatInternal));
    ASSERT_NE(low, nullptr);
    EXPECT_EQ(low->GetItemLabel(), "Low Format  Internal Memory");
    const wxMenuItem* undo = shown->FindItem(MenuItemId(ids::kEditUndo));
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->GetItemLabelText(), "Undo");
    for (int toggle : {ids::kViewToolBar, ids::kViewStatusBar}) {
        ASSERT_NE(shown->FindItem(MenuItemId(toggle)), nullptr);
        EXPECT_TRUE(shown->FindItem(MenuItemId(toggle))->IsCheckable()) << toggle;
    }
    // Tool: Refresh, two format popups, a separator, two upgrade commands, a
    // separator and the font and raw data popups.
    const wxMenu* tool = shown->GetMenu(3);
    EXPECT_EQ(tool->GetMenuItemCount(), 9u);
    EXPECT_NE(shown->FindItem(MenuItemId(ids::kViewRawData)), nullptr);
    frame->Destroy();
    gui::Pump(10);
}

TEST(MenuBuilder, HandlersSeeTheCommandsOwnIds) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "menus");
    frame->SetMenuBar(BuildMenuBar(menus::MainMenu()).release());
    std::vector<int> commands;
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent& e) { commands.push_back(e.GetId()); });
    frame->Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(false); }, ids::kFormatAll);
    frame->Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Check(false); }, ids::kViewStatusBar);

    wxMenuBar* bar = frame->GetMenuBar();
    wxMenu* tool = bar->GetMenu(3);
    wxMenu* format = tool->FindItem(MenuItemId(ids::kFormatAll))->GetMenu();
    ASSERT_NE(format, nullptr);
    EXPECT_TRUE(format->SendEvent(MenuItemId(ids::kFormatAll)));
    EXPECT_EQ(commands, std::vector<int>{ids::kFormatAll});

    format->UpdateUI(frame->GetEventHandler());
    EXPECT_FALSE(bar->IsEnabled(MenuItemId(ids::kFormatAll)));
    EXPECT_TRUE(bar->IsEnabled(MenuItemId(ids::kFormatInternal)));
    wxMenu* view = bar->GetMenu(2);
    view->Check(MenuItemId(ids::kViewStatusBar), true);
    view->UpdateUI(frame->GetEventHandler());
    EXPECT_FALSE(view->IsChecked(MenuItemId(ids::kViewStatusBar)));

    // A context menu's commands reach the window it pops up from.
    auto popup = BuildPopupMenu(menus::MemoryContextMenu());
    popup->SetInvokingWindow(frame);
    popup->SendEvent(MenuItemId(ids::kRename));
    popup->SetInvokingWindow(nullptr);
    EXPECT_EQ(commands.back(), ids::kRename);
    frame->Destroy();
    gui::Pump(10);
}

TEST(MenuBuilder, ContextMenusAreTheirFirstPopup) {
    auto memory = BuildPopupMenu(menus::MemoryContextMenu());
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->GetMenuItemCount(), 10u);
    EXPECT_EQ(memory->FindItemByPosition(0)->GetId(), MenuItemId(ids::kDelete));
    EXPECT_TRUE(memory->FindItemByPosition(3)->IsSeparator());
    EXPECT_EQ(memory->FindItemByPosition(9)->GetId(), MenuItemId(ids::kPaneRawData));

    auto desktop = BuildPopupMenu(menus::DesktopContextMenu());
    ASSERT_NE(desktop, nullptr);
    ASSERT_EQ(desktop->GetMenuItemCount(), 2u);
    EXPECT_EQ(desktop->FindItemByPosition(1)->GetItemLabel(), "Properties");
    EXPECT_EQ(BuildPopupMenu({}), nullptr);
}

TEST(MenuBuilder, AcceleratorsUseTheToolkitsKeys) {
    EXPECT_TRUE(BuildAccelerators(menus::MainAccelerators()).IsOk());
    auto find = [](int flags, int key) {
        for (const auto& a : menus::MainAccelerators())
            if (a.flags == flags && a.key == key) return a.command;
        return 0;
    };
    EXPECT_EQ(find(wxACCEL_CTRL, WXK_INSERT), ids::kEditCopy);
    EXPECT_EQ(find(wxACCEL_SHIFT, WXK_INSERT), ids::kEditPaste);
    EXPECT_EQ(find(wxACCEL_SHIFT, WXK_DELETE), ids::kEditCut);
    EXPECT_EQ(find(wxACCEL_ALT, WXK_BACK), ids::kEditUndo);
    EXPECT_EQ(find(wxACCEL_NORMAL, WXK_F2), ids::kRename);
    EXPECT_EQ(find(wxACCEL_NORMAL, WXK_F5), ids::kRefresh);
    EXPECT_EQ(find(wxACCEL_NORMAL, WXK_F6), ids::kNextPane);
    EXPECT_EQ(find(wxACCEL_SHIFT, WXK_F6), ids::kPrevPane);
}
