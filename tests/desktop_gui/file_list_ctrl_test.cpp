#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include "tests/desktop_gui/list_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"

namespace {

class FileListTest : public ListFrameTest {
protected:
    bool Has(const std::string& event) const {
        return std::find(frame->events.begin(), frame->events.end(), event) != frame->events.end();
    }
};

} // namespace

TEST_F(FileListTest, SelectionHelpersWorkInListOrder) {
    HFileListCtrl* list = frame->list;
    EXPECT_EQ(list->GetFirstSelected(), -1);
    list->SelectRow(4);
    list->SelectRow(1);
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<long>{1, 4}));
    EXPECT_EQ(list->GetFirstSelected(), 1);
    list->SelectRow(4, false);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{1});
    list->ClearSelection();
    EXPECT_TRUE(list->GetSelectedRows().empty());

    EXPECT_EQ(list->GetRowText(2, 0), "file2.mp3");
    EXPECT_EQ(list->GetRowText(2, 1), "40KB");
    EXPECT_EQ(list->GetRowText(99, 0), "");
    EXPECT_EQ(list->GetRowText(0, 5), "");
    EXPECT_EQ(list->FindRowByData(103), 3);
    EXPECT_EQ(list->FindRowByData(7), -1);
}

TEST_F(FileListTest, SortsRowsByTheirItemData) {
    HFileListCtrl* list = frame->list;
    list->SelectRow(0);
    ASSERT_TRUE(list->SortRows([](wxIntPtr a, wxIntPtr b) { return static_cast<int>(b - a); }));
    const auto rows = gui::ListRows(*list);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows.front()[0], "file5.mp3");
    EXPECT_EQ(rows.back()[0], "file0.mp3");
    // The selection travels with its row.
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{5});
    EXPECT_EQ(list->GetRowText(5, 0), "file0.mp3");
    EXPECT_EQ(list->GetItemData(5), 100);
}

TEST_F(FileListTest, TheOwningPaneReceivesTheListsNotifications) {
    HFileListCtrl* list = frame->list;
    const wxPoint row2 = gui::RowScreenPoint(*list, 2);
    wxUIActionSimulator sim;

    // Right click on a row.
    sim.MouseMove(row2);
    gui::Pump(20);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("right:2"); }, 2000));

    // Double click activates the row.
    sim.MouseDblClick();
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("activate:2"); }, 2000));

    // A key on the focused list.
    list->SetFocus();
    gui::Pump(30);
    sim.Char(WXK_DELETE);
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("key:" + std::to_string(WXK_DELETE)); }, 2000));

    // A click on the second column's header.
    wxRect rect;
    list->GetItemRect(0, rect);
    const wxPoint header = list->ClientToScreen(wxPoint(150 + 40, 5));
    sim.MouseMove(header);
    gui::Pump(20);
    sim.MouseClick();
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("col:1"); }, 2000));
}

TEST_F(FileListTest, LabelEditingReportsTheNewText) {
    HFileListCtrl* list = frame->list;
    list->SetFocus();
    gui::Pump(30);
    ASSERT_NE(list->EditLabel(1), nullptr);
    gui::Pump(50);
    wxUIActionSimulator sim;
    sim.Text("renamed");
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("edit:1"); }, 2000));
    EXPECT_EQ(frame->label, "renamed");
    EXPECT_FALSE(frame->cancelled);

    // Escape ends the edit as cancelled and keeps the old text.
    ASSERT_NE(list->EditLabel(2), nullptr);
    gui::Pump(50);
    sim.Text("other");
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("edit:2"); }, 2000));
    EXPECT_TRUE(frame->cancelled);
    EXPECT_EQ(list->GetRowText(2, 0), "file2.mp3");
}

TEST_F(FileListTest, SortsByAColumnsTextsWithTheirRowsItemData) {
    HFileListCtrl* list = frame->list;
    list->SelectRow(1);
    int mismatches = 0;
    auto textOf = [](wxIntPtr data) {
        return wxString::Format("%dKB", static_cast<int>(6 - (data - 100)) * 10);
    };
    ASSERT_TRUE(list->SortRowsByColumn(
        1, [&](wxIntPtr a, const wxString& textA, wxIntPtr b, const wxString& textB) {
            mismatches += textA != textOf(a) || textB != textOf(b);
            return textA.compare(textB);
        }));
    EXPECT_EQ(mismatches, 0) << "each text comes with its own row's data";
    const auto rows = gui::ListRows(*list);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows.front()[0], "file5.mp3");
    EXPECT_EQ(rows.front()[1], "10KB");
    EXPECT_EQ(rows.back()[0], "file0.mp3");
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{4});
    EXPECT_EQ(list->GetItemData(4), 101);
}

TEST_F(FileListTest, BeginDragGivesThePointInTheListsClientCoordinates) {
    HFileListCtrl* list = frame->list;
    const wxPoint start = gui::RowScreenPoint(*list, 3);
    gui::MouseMove(start);
    gui::Pump(20);
    gui::MouseDown();
    gui::Pump(20);
    gui::MouseGlide(start, start + wxPoint(30, 30), 6);
    gui::MouseUp();
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("drag:3"); }, 2000));
    // The point is where the drag was noticed, a few pixels on.
    const wxPoint client = list->ScreenToClient(start);
    EXPECT_NEAR(frame->dragPoint.x, client.x, 8);
    EXPECT_NEAR(frame->dragPoint.y, client.y, 8);
    wxRect row3;
    list->GetItemRect(3, row3);
    EXPECT_TRUE(row3.Contains(frame->dragPoint));
}
