#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/uiaction.h>

#include "ui/list/file_kinds.h"
#include "ui/controls/icons.h"
#include "base/platform/gui/shell_info.h"
#include "base/platform/modal_depth.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "tests/ui/list/list_fixture.h"
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
    // A name that is not UTF-8 shows one replacement mark per bad byte.
    frame->rows[2].name = "M\xfasica\xc3";
    list->RefreshRows();
    EXPECT_EQ(list->GetRowText(2, 0), wxString::FromUTF8("M\uFFFDsica\uFFFD"));

    // Re-selecting by data picks exactly those rows and focuses the first.
    EXPECT_EQ(list->SelectDataWhere([](uint32_t data) { return data == 2 || data == 5; }), 2u);
    EXPECT_EQ(gui::SelectedRows(*list), (std::vector<long>{2, 5}));
    EXPECT_EQ(list->GetFocusedRow(), 2);

    // A shorter listing starts with nothing selected, on its first row.
    frame->rows.resize(2);
    list->ShowRows(frame->rows.size());
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_TRUE(list->GetSelectedRows().empty());
    EXPECT_EQ(list->GetFocusedRow(), 0);
}

TEST_F(FileListTest, SortingKeepsSelectionAndFocusWithTheirRows) {
    HFileListCtrl* list = frame->list;
    frame->rows[3].size = frame->rows[4].size; // a tie, broken by the name
    list->SelectRow(1);
    list->SelectRow(4);
    list->FocusRow(4);
    const auto& rows = frame->rows;
    list->SortRows(
        [&](uint32_t a, uint32_t b) {
            if (int c = CompareValues(rows[a].size, rows[b].size)) return c;
            return CompareNames(rows[a].name, rows[b].name);
        },
        true);
    gui::Pump(20);
    const auto shown = gui::ListRows(*list);
    ASSERT_EQ(shown.size(), 6u);
    std::vector<std::string> names;
    for (const auto& row : shown)
        names.push_back(row[0]);
    EXPECT_EQ(names, (std::vector<std::string>{"file5.mp3", "file3.mp3", "file4.mp3", "file2.mp3",
                                               "file1.mp3", "file0.mp3"}));
    EXPECT_EQ(list->GetSelectedData(), (std::vector<uint32_t>{4, 1}));
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<long>{2, 4}));
    EXPECT_EQ(list->GetFocusedRow(), 2);
    EXPECT_EQ(list->GetRowData(2), 4u);
    EXPECT_EQ(list->FindRowByData(0), 5);

    list->ReverseRows();
    EXPECT_EQ(list->GetRowText(0, 0), "file0.mp3");
    EXPECT_EQ(list->GetSelectedData(), (std::vector<uint32_t>{1, 4}));
    EXPECT_EQ(list->GetFocusedRow(), 3);

    // Most rows selected: all but one stay so.
    list->SelectDataWhere([](uint32_t data) { return data != 3; });
    list->ReverseRows();
    EXPECT_EQ(list->GetSelectedData(), (std::vector<uint32_t>{5, 4, 2, 1, 0}));
}

TEST_F(FileListTest, IconsAreLookedUpOncePerKindOfFileAndOncePerScale) {
    auto stub = std::make_unique<platform::StubShellInfo>();
    platform::StubShellInfo* shell = stub.get();
    auto previous = platform::SetShellInfo(std::move(stub));

    // A pane's rows of four kinds, their icons found when first painted.
    struct Pane : HFileListCtrl::Source {
        std::vector<std::pair<std::string, bool>> files;
        mutable std::vector<int> icons;
        mutable HFileKinds kinds;
        std::string GetCellText(uint32_t data, int) const override { return files[data].first; }
        int GetCellImage(uint32_t data) const override {
            if (icons[data] == -2)
                icons[data] = kinds.IconIndex(files[data].first, files[data].second);
            return icons[data];
        }
    } pane;
    const char* names[] = {"a%d.mp3", "b%d.WAV", "c%d.Mp3", "d%d", "e%d.txt"};
    for (int i = 0; i < 3000; ++i)
        pane.files.emplace_back(wxString::Format(names[i % 5], i).utf8_string(), i % 5 == 3);
    pane.icons.assign(pane.files.size(), -2);

    HFileListCtrl* list = frame->list;
    list->SetKinds(&pane.kinds);
    list->SetSource(&pane);
    list->ShowRows(pane.files.size());
    list->Update();
    gui::Pump(30);
    list->EnsureVisible(2999);
    list->Update();
    gui::Pump(30);
    EXPECT_EQ(shell->iconCalls, 4) << "mp3, wav, folder, txt";
    EXPECT_EQ(pane.kinds.GetImageList()->GetImageCount(), 4);
    EXPECT_EQ(pane.icons[0], pane.icons[2]) << "extensions differ only in case";
    EXPECT_NE(pane.icons[0], pane.icons[1]);

    // A window at twice the scale gets each icon at 32 pixels from the shell
    // (asked once), not the 16-pixel one enlarged; 16 pixels are not asked again.
    const wxBitmapBundle mp3 = pane.kinds.Bundle(pane.icons[0]);
    ASSERT_TRUE(mp3.IsOk());
    EXPECT_EQ(mp3.GetPreferredBitmapSizeAtScale(2.0), wxSize(32, 32));
    EXPECT_EQ(mp3.GetBitmap(wxSize(32, 32)).GetSize(), wxSize(32, 32));
    EXPECT_EQ(mp3.GetBitmap(wxSize(32, 32)).GetSize(), wxSize(32, 32));
    EXPECT_EQ(mp3.GetBitmap(wxSize(16, 16)).GetSize(), wxSize(16, 16));
    EXPECT_EQ(shell->iconCalls, 5);
    // A pane's own image (a drive) is drawn anew at 32 pixels.
    const int drive = pane.kinds.AddImage(controls::TreeImageBundle(controls::tree_image::kDrive));
    ASSERT_EQ(drive, 4);
    const wxImage drive32 = pane.kinds.Bundle(drive).GetBitmap(wxSize(32, 32)).ConvertToImage();
    const wxImage drawn32 =
        controls::LoadTreeImage(controls::tree_image::kDrive, 32).ConvertToImage();
    ASSERT_EQ(drive32.GetSize(), wxSize(32, 32));
    EXPECT_TRUE(std::equal(drive32.GetData(), drive32.GetData() + 32 * 32 * 3, drawn32.GetData()));
    EXPECT_FALSE(pane.kinds.Bundle(5).IsOk());

    list->SetSource(&*frame);
    list->ShowRows(frame->rows.size());
    list->SetImageList(frame->images.get(), wxIMAGE_LIST_SMALL);
    platform::SetShellInfo(std::move(previous));
}

// The list's other notifications reach the desktop view's handlers in its
// tests (header clicks sort, Delete deletes, Enter opens, a right click
// opens the context menu); a double click is activation as Enter is.
TEST_F(FileListTest, DoubleClickActivatesTheRow) {
    wxUIActionSimulator sim;
    sim.MouseMove(gui::RowScreenPoint(*frame->list, 2));
    gui::Pump(20);
    sim.MouseDblClick();
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("activate:2"); }, 2000));
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

    // Editing a name that is not UTF-8 keeps its bytes: End moves past the
    // selected name, and the label converts back to the old bytes plus the text.
    frame->rows[3].name = "M\xfasica";
    list->RefreshRows();
    ASSERT_NE(list->EditLabel(3), nullptr);
    gui::Pump(50);
    // The field shows the name as the list does.
    EXPECT_EQ(list->GetEditControl()->GetValue(), list->GetRowText(3, 0));
    sim.Char(WXK_END);
    sim.Text("2");
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("edit:3"); }, 2000));
    EXPECT_EQ(platform::PathFromText(wxString::FromUTF8(frame->label)), "M\xfasica2");
}

TEST_F(FileListTest, ANameBeingEditedEndsWhenTheListScrolls) {
    // A long list, so that the wheel moves its rows.
    frame->Destroy();
    frame = new ListFrame(512);
    gui::ShowAndWait(frame);
    HFileListCtrl* list = frame->list;
    list->SetFocus();
    gui::Pump(30);
    ASSERT_NE(list->EditLabel(2), nullptr);
    gui::Pump(50);
    wxUIActionSimulator sim;
    sim.Text("moved");
    gui::MouseMove(gui::ScreenCenter(*list));
    gui::Pump(30);
    gui::MouseWheel(3);
    ASSERT_TRUE(gui::PumpUntil([&] { return Has("edit:2"); }, 2000))
        << "the field would float over another row";
    EXPECT_EQ(frame->label, "moved");
    EXPECT_FALSE(frame->cancelled);
    EXPECT_EQ(list->GetEditControl(), nullptr);
    EXPECT_GT(list->GetTopRow(), 0);
}

TEST_F(FileListTest, ASlowSecondClickOnTheSelectedNameAsksForARename) {
    int renames = 0;
    frame->pane->Bind(wxEVT_MENU, [&](wxCommandEvent&) { ++renames; }, ids::kRename);
    HFileListCtrl* list = frame->list;
    const auto click = [&](long row) {
        gui::MouseMove(gui::RowScreenPoint(*list, row));
        gui::MouseDown();
        gui::MouseUp();
        gui::Pump(50);
    };
    // A click that selects the row is not one on a selected row.
    click(2);
    gui::Pump(1000);
    EXPECT_EQ(renames, 0);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{2});
    click(2);
    ASSERT_TRUE(gui::PumpUntil([&] { return renames == 1; }, 2000));

    // A double click opens the row and renames nothing. A loaded display
    // server may stamp the simulated clicks further apart than a double
    // click; it is then two clicks, for a person too, and is tried again.
    wxUIActionSimulator sim;
    bool opened = false;
    for (int tries = 0; tries < 3 && !opened; ++tries) {
        gui::Pump(600);
        renames = 1;
        sim.MouseDblClick();
        opened = gui::PumpUntil([&] { return Has("activate:2"); }, 2000);
    }
    ASSERT_TRUE(opened);
    gui::Pump(1000);
    EXPECT_EQ(renames, 1);

    // Nor does a double click whose second click the window reads late,
    // busy with something else for longer than a double click takes.
    const auto opens = [&] { return std::count(frame->events.begin(), frame->events.end(), "activate:2"); };
    const auto before = opens();
    gui::MouseDown();
    gui::MouseUp();
    gui::Pump(50);
    gui::MouseDown();
    gui::MouseUp();
    wxMilliSleep(700);
    ASSERT_TRUE(gui::PumpUntil([&] { return opens() > before; }, 2000));
    gui::Pump(1000);
    EXPECT_EQ(renames, 1);

    // Nor does a click that moves the selection, or one with several rows selected.
    click(4);
    gui::Pump(1000);
    list->SelectRow(1);
    click(4);
    gui::Pump(1000);
    EXPECT_EQ(renames, 1);

    // Nor does a slow click whose time comes while a question or a device
    // call is open: the edit would end, and rename, in the middle of it.
    list->ClearSelection();
    list->SelectRow(4);
    {
        const platform::ModalScope busy;
        click(4);
        gui::Pump(1000);
    }
    EXPECT_EQ(renames, 1);
    click(4);
    ASSERT_TRUE(gui::PumpUntil([&] { return renames == 2; }, 2000));
}

TEST_F(FileListTest, KeysMoveAndSelectAsInAnyListOfTheDesktop) {
    HFileListCtrl* list = frame->list;
    // A button before the list in the tab order.
    auto* before = new wxButton(frame->pane, wxID_ANY, "Before", wxPoint(300, 285));
    before->MoveBeforeInTabOrder(list);
    list->SetFocus();
    gui::Pump(50);
    // From the first listing on, Home and End select the first and the last row.
    gui::KeyPress(WXK_HOME);
    ASSERT_TRUE(gui::PumpUntil([&] { return list->GetSelectedRows() == std::vector<long>{0}; }, 1000));
    gui::KeyPress(WXK_END);
    ASSERT_TRUE(gui::PumpUntil([&] { return list->GetSelectedRows() == std::vector<long>{5}; }, 1000))
        << list->GetSelectedRows().size();
    gui::KeyPress(WXK_HOME);
    ASSERT_TRUE(gui::PumpUntil([&] { return list->GetSelectedRows() == std::vector<long>{0}; }, 1000));
    EXPECT_EQ(list->GetFocusedRow(), 0);

    // Ctrl moves without selecting; Ctrl+Space adds the row or takes it
    // away; Space selects just the row.
    gui::KeyPress(WXK_DOWN, wxMOD_CONTROL);
    gui::KeyPress(WXK_DOWN, wxMOD_CONTROL);
    gui::Pump(50);
    EXPECT_EQ(list->GetFocusedRow(), 2);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{0});
    gui::KeyPress(WXK_SPACE, wxMOD_CONTROL);
    gui::Pump(50);
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<long>{0, 2}));
    gui::KeyPress(WXK_SPACE, wxMOD_CONTROL);
    gui::Pump(50);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{0});
    gui::KeyPress(WXK_SPACE);
    gui::Pump(50);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{2});

    // Shift+Tab leaves the list for the control before it, passing its header by.
    gui::KeyPress(WXK_TAB, wxMOD_SHIFT);
    ASSERT_TRUE(gui::PumpUntil([&] { return wxWindow::FindFocus() == before; }, 1000))
        << "the focus stayed in the list";
}

TEST_F(FileListTest, TypeAheadCtrlAMenuKeyAndReListingByName) {
    HFileListCtrl* list = frame->list;
    list->SetFocus();
    gui::Pump(50);
    // Typing the start of a name moves to it; the same letter again steps on.
    wxUIActionSimulator sim;
    sim.Text("file3");
    ASSERT_TRUE(gui::PumpUntil([&] { return list->GetSelectedRows() == std::vector<long>{3}; }, 1000));
    EXPECT_EQ(list->GetFocusedRow(), 3);
    gui::Pump(1100);
    sim.Char('f');
    sim.Char('f');
    ASSERT_TRUE(gui::PumpUntil([&] { return list->GetSelectedRows() == std::vector<long>{4}; }, 1000));

    // Ctrl+A selects every row.
    gui::KeyPress('A', wxMOD_CONTROL);
    ASSERT_TRUE(gui::PumpUntil([&] { return list->GetSelectedItemCount() == 6; }, 1000));

    // Shift+F10 asks for the menu at the focused row.
    wxPoint menuAt = wxDefaultPosition;
    frame->pane->Bind(wxEVT_CONTEXT_MENU, [&](wxContextMenuEvent& e) { menuAt = e.GetPosition(); });
    gui::KeyPress(WXK_F10, wxMOD_SHIFT);
    ASSERT_TRUE(gui::PumpUntil([&] { return menuAt != wxDefaultPosition; }, 1000));
    const wxRect focused = list->GetRowRect(4);
    EXPECT_TRUE(wxRect(list->ClientToScreen(focused.GetTopLeft()), focused.GetSize())
                    .Inflate(0, focused.height)
                    .Contains(menuAt))
        << menuAt.x << "," << menuAt.y;

    // A re-listing in another order finds the selected and focused rows by
    // their names.
    list->ClearSelection();
    list->SelectRow(1);
    list->SelectRow(4);
    list->FocusRow(4);
    const HFileListCtrl::NamedRows kept = list->KeepNames();
    std::reverse(frame->rows.begin(), frame->rows.end());
    frame->rows.push_back({"new.mp3", 1, 0});
    list->ShowRows(frame->rows.size());
    list->RestoreNames(kept);
    std::vector<std::string> names;
    for (uint32_t data : list->GetSelectedData())
        names.push_back(frame->rows[data].name);
    EXPECT_EQ(names, (std::vector<std::string>{"file4.mp3", "file1.mp3"}));
    EXPECT_EQ(list->GetRowText(list->GetFocusedRow(), 0), "file4.mp3");
}
