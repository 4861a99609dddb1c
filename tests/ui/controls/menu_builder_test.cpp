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

// The tables' texts and keys are checked end to end by the application's
// command tests; here, what the builder adds: mnemonics, check items, ids
// and update handlers.
TEST(MenuBuilder, HandlersSeeTheCommandsOwnIds) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "menus");
    frame->SetMenuBar(BuildMenuBar(menus::MainMenu()).release());
    wxMenuBar* bar = frame->GetMenuBar();
    const char* titles[] = {"&File", "&Edit", "&View", "&Tool", "&Help"};
    ASSERT_EQ(bar->GetMenuCount(), std::size(titles));
    for (size_t i = 0; i < std::size(titles); ++i)
        EXPECT_EQ(bar->GetMenuLabel(i), titles[i]);
    for (int toggle : {ids::kViewToolBar, ids::kViewStatusBar})
        EXPECT_TRUE(bar->FindItem(MenuItemId(toggle))->IsCheckable()) << toggle;
    EXPECT_TRUE(BuildAccelerators(menus::MainAccelerators()).IsOk());
    EXPECT_EQ(BuildPopupMenu({}), nullptr);
    std::vector<int> commands;
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent& e) { commands.push_back(e.GetId()); });
    frame->Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(false); }, ids::kFormatAll);
    frame->Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Check(false); }, ids::kViewStatusBar);

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
