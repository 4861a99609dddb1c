// The memory pane on the virtual player, driven through its real event
// paths: key presses, header clicks, the context menu, label editing, file
// drops and the progress dialog's Cancel, with message boxes answered here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <unistd.h>

#include <wx/button.h>
#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/progdlg.h>
#include <wx/timer.h>

#include "ui/controls/menu_builder.h"
#include "base/platform/gui/shell_info.h"
#include "views/player/memory_pane.h"
#include "views/player/memory_transfers.h"
#include "player_fixture.h"
#include "player_steps.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"
#include "tests/support/gui_harness/gui_harness.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// A PC-side target: files go into its folder.
class FolderTarget : public HFileTarget {
public:
    FolderTarget(wxWindow* window, std::string folder)
        : window_(window), folder_(std::move(folder)) {}
    wxWindow* GetWindow() const override { return window_; }
    bool Receive(HNameList& list, bool transfer) override {
        received = list.GetCount();
        transferred = transfer;
        return true;
    }
    std::optional<std::string> GetTargetFolder() const override { return folder_; }

    size_t received = 0;
    bool transferred = true;

private:
    wxWindow* window_;
    std::string folder_;
};

// The pane in a stand-in main window, on a player without external memory.
class MemoryPane : public playertest::PlayerTest {
protected:
    std::string CreateOptions() const override { return "--external none"; }

    void SetUp() override {
        PlayerTest::SetUp();
        Connect();
        oldShell_ = platform::SetShellInfo(std::make_unique<platform::StubShellInfo>());
        frame_ = new wxFrame(nullptr, wxID_ANY, "Songdock", wxPoint(20, 20), wxSize(640, 480));
        OpenPane(0);
        gui::ShowAndWait(frame_);
    }
    void TearDown() override {
        frame_->Destroy();
        gui::Pump();
        platform::SetShellInfo(std::move(oldShell_));
        PlayerTest::TearDown();
    }

    void OpenPane(int memory) {
        pane_ = new HMp3MemView(frame_);
        pane_->SetTitle(memory == 0 ? sid::kInternalMemory : sid::kExternalMemory);
        pane_->FillList(true, memory);
        frame_->SendSizeEvent();
        gui::Pump(50);
    }
    // Closes the pane as the main window does at exit.
    void ClosePane() {
        pane_->Destroy();
        gui::Pump();
    }
    void Put(const std::vector<std::string>& names, size_t size = 100) {
        ASSERT_EQ(playertest::PutFiles(work_.path(), 0, names, size), 0);
        pane_->FillList(false);
    }
    HFileListCtrl& List() { return *pane_->GetList(); }
    // Chooses a command from the pane's context menu, opened on the first
    // selected row (or on the list when none is).
    bool Choose(int command) {
        const long row = List().GetFirstSelected();
        const wxPoint at = row >= 0 ? gui::RowScreenPoint(List(), row)
                                    : gui::ScreenCenter(List()) + wxPoint(0, 40);
        return gui::ChooseFromContextMenu(pane_, at, controls::MenuItemId(command));
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (const auto& row : gui::ListRows(List()))
            texts.push_back(row[static_cast<size_t>(column)]);
        return texts;
    }
    // Selects exactly the rows of the given entry numbers.
    void SelectNumbers(const std::vector<int>& numbers) {
        List().ClearSelection();
        const auto numbersShown = Column(1);
        for (int n : numbers)
            for (size_t row = 0; row < numbersShown.size(); ++row)
                if (numbersShown[row] == std::to_string(n))
                    List().SelectRow(static_cast<long>(row));
    }
    std::vector<std::string> SelectedNumbers() {
        std::vector<std::string> numbers;
        const auto shown = Column(1);
        for (long row : gui::SelectedRows(List()))
            numbers.push_back(shown[static_cast<size_t>(row)]);
        return numbers;
    }
    bool Enabled(int command) { return gui::RunUpdateUI(pane_, command).enabled; }
    // Clicks a column's header.
    void ClickHeader(int column) {
        int x = 0;
        for (int c = 0; c < column; ++c)
            x += List().GetColumnWidth(c);
        const wxPoint at = List().ClientToScreen(wxPoint(x + 20, 8));
        gui::MouseMove(at);
        gui::MouseDown();
        gui::MouseUp();
        // Apart from the next click by more than a double-click's time.
        gui::Pump(600);
    }

    wxFrame* frame_ = nullptr;
    HMp3MemView* pane_ = nullptr;
    std::unique_ptr<platform::ShellInfo> oldShell_;
};

TEST_F(MemoryPane, ListsSizesTotalsAndTypes) {
    Put({"empty.mp3"}, 0);
    Put({"one.mp3"}, 1);
    Put({"kilo.mp3"}, 1024);
    Put({"README"}, 1025);
    const auto rows = gui::ListRows(List());
    ASSERT_EQ(rows.size(), 4u);
    // Sorted by name at first, without letter case.
    EXPECT_THAT(rows[0], ElementsAre("empty.mp3", "0", "0KB", "MP3 File"));
    EXPECT_THAT(rows[1], ElementsAre("kilo.mp3", "2", "1KB", "MP3 File"));
    EXPECT_THAT(rows[2], ElementsAre("one.mp3", "1", "1KB", "MP3 File"));
    EXPECT_THAT(rows[3], ElementsAre("README", "3", "2KB", "File"));
    // Icons are looked up once per kind of file, not per row.
    auto& shell = static_cast<platform::StubShellInfo&>(platform::CurrentShellInfo());
    gui::Pump(50);
    EXPECT_LE(shell.iconCalls, 2);
    // 64 MiB with 3 blocks in use: the free space rounds up to 64 MB.
    EXPECT_EQ(pane_->GetHeaderText(), " Internal Memory - Total 64MB,  Remain 64MB,  4 File(s)");
}

TEST_F(MemoryPane, AMemoryWithoutCapacityShowsNotConnected) {
    ClosePane();
    OpenPane(1);
    EXPECT_FALSE(pane_->IsConnected());
    EXPECT_FALSE(List().IsShown());
    EXPECT_EQ(pane_->GetHeaderText(), " External Memory - Not Connected");
    EXPECT_FALSE(Enabled(ids::kDelete));
    EXPECT_FALSE(Enabled(ids::kPaneFormat));
    EXPECT_TRUE(Enabled(ids::kRefresh));
}

TEST_F(MemoryPane, HeaderClicksSortAndTheOrderOutlivesTheWindow) {
    Put({"b.mp3", "c.mp3", "a.mp3"});
    EXPECT_THAT(Column(0), ElementsAre("a.mp3", "b.mp3", "c.mp3"));
    ClickHeader(0);
    EXPECT_THAT(Column(0), ElementsAre("c.mp3", "b.mp3", "a.mp3"));
    ClickHeader(1);
    EXPECT_THAT(Column(1), ElementsAre("0", "1", "2"));
    SelectNumbers({2});
    ClickHeader(1);
    EXPECT_THAT(Column(1), ElementsAre("2", "1", "0"));
    EXPECT_THAT(SelectedNumbers(), ElementsAre("2")); // selection kept across the sort

    List().SetColumnWidth(0, 173);
    ClosePane();
    OpenPane(0);
    EXPECT_THAT(Column(1), ElementsAre("2", "1", "0"));
    EXPECT_EQ(List().GetColumnWidth(0), 173);
    EXPECT_EQ(settings::GetSortKey(1), 0); // the other memory keeps its own order
}

TEST_F(MemoryPane, DeleteKeyDeletesTheSelectedEntriesInTurn) {
    Put({"f0", "f1", "f2", "f3", "f4", "f5"});
    pane_->SortList(0, false); // by name, descending: rows no longer follow numbers
    SelectNumbers({2, 5});
    List().SetFocus();
    boxes_.answers = {platform::kIdYes};
    gui::KeyPress(WXK_DELETE);
    gui::Pump(100);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Would you delete the selected file?");
    EXPECT_EQ(boxes_.shown[0].caption, "Confirm file deleting");
    EXPECT_THAT(playertest::Names(0), ElementsAre("f0", "f1", "f3", "f4"));
    EXPECT_THAT(Column(0), ElementsAre("f4", "f3", "f1", "f0"));

    SelectNumbers({1});
    boxes_.answers = {platform::kIdNo};
    Choose(ids::kDelete);
    EXPECT_EQ(boxes_.shown.back().text, "Would delete file f1 ?");
    EXPECT_THAT(playertest::Names(0), ElementsAre("f0", "f1", "f3", "f4"));
}

TEST_F(MemoryPane, UpAndDownFollowTheirRulesAndKeepTheSelection) {
    Put({"f0", "f1", "f2", "f3", "f4", "f5"});
    SelectNumbers({0, 3});
    EXPECT_FALSE(Enabled(ids::kMoveUp));
    Choose(ids::kMoveUp);
    EXPECT_THAT(playertest::Names(0), ElementsAre("f0", "f1", "f2", "f3", "f4", "f5"));

    SelectNumbers({2, 3});
    ASSERT_TRUE(Enabled(ids::kMoveUp));
    Choose(ids::kMoveUp);
    EXPECT_THAT(playertest::Names(0), ElementsAre("f0", "f2", "f3", "f1", "f4", "f5"));
    EXPECT_THAT(SelectedNumbers(), ElementsAre("1", "2"));

    SelectNumbers({5});
    EXPECT_FALSE(Enabled(ids::kMoveDown));
    SelectNumbers({3, 4});
    Choose(ids::kMoveDown);
    EXPECT_THAT(playertest::Names(0), ElementsAre("f0", "f2", "f3", "f5", "f1", "f4"));
    EXPECT_THAT(SelectedNumbers(), ElementsAre("4", "5"));
}

TEST_F(MemoryPane, ContextMenuShowsTheCommandsAsTheyApply) {
    Put({"f0", "f1"});
    SelectNumbers({0});
    wxMenu* opened = nullptr;
    std::map<int, bool> enabled;
    pane_->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& e) {
        opened = e.GetMenu();
        e.Skip();
    });
    // Runs inside the menu's own loop once it is open; Escape is pressed
    // until the menu, which takes keys only once it is up, closes.
    wxTimer poll;
    int ticks = 0;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!opened) return;
        if (enabled.empty())
            for (int id : {ids::kDelete, ids::kMoveUp, ids::kMoveDown, ids::kPaneRawData})
                enabled[id] = opened->IsEnabled(controls::MenuItemId(id));
        if (++ticks % 10 == 0) gui::KeyPress(WXK_ESCAPE);
    });
    poll.Start(30);
    const wxPoint at = gui::RowScreenPoint(List(), 0);
    gui::MouseMove(at);
    gui::MouseDown(2);
    gui::MouseUp(2);
    ASSERT_TRUE(gui::PumpUntil([&] { return !enabled.empty(); }));
    poll.Stop();
    EXPECT_TRUE(enabled[ids::kDelete]);
    EXPECT_FALSE(enabled[ids::kMoveUp]);
    EXPECT_TRUE(enabled[ids::kMoveDown]);
    EXPECT_TRUE(enabled[ids::kPaneRawData]);
}

TEST_F(MemoryPane, FormatAsksFirstAndNoKeepsEverything) {
    Put({"f0", "f1"});
    boxes_.answers = {platform::kIdNo};
    Choose(ids::kPaneFormat);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "All file will be deleted.\nAre you sure?");
    EXPECT_EQ(boxes_.shown[0].caption, "Format");
    EXPECT_THAT(playertest::Names(0), ElementsAre("f0", "f1"));

    boxes_.answers = {platform::kIdYes};
    Choose(ids::kPaneLowFormat);
    EXPECT_EQ(boxes_.shown.back().caption, "Low Level Format");
    EXPECT_THAT(playertest::Names(0), IsEmpty());
    EXPECT_EQ(List().GetItemCount(), 0);
}

TEST_F(MemoryPane, DroppedFoldersAreRefusedAndLinksDownloadTheirTargets) {
    const std::string folder = work_ / "album";
    std::filesystem::create_directory(folder);
    devtest::WriteFile(work_ / "song.mp3", "song");
    // What the desktop's file manager drops: a uri-list, decoded by the toolkit.
    const auto drop = [&](const std::string& uris) {
        wxFileDataObject data;
        data.SetData(wxDF_FILENAME, uris.size(), uris.data());
        auto* target = dynamic_cast<wxFileDropTarget*>(pane_->GetDropTarget());
        ASSERT_NE(target, nullptr);
        target->OnDropFiles(10, 30, data.GetFilenames());
        gui::Pump(50);
    };
    drop("file://" + work_ / "song.mp3" + "\r\nfile://" + folder + "\r\n");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, folder + "\nCannot download directory.");
    EXPECT_THAT(playertest::Names(0), IsEmpty());

    ASSERT_EQ(symlink((work_ / "song.mp3").c_str(), (work_ / "M\xfasica").c_str()), 0);
    drop("file://" + work_ / "M%FAsica" + "\r\n");
    EXPECT_THAT(playertest::Names(0), ElementsAre("song.mp3"));
    EXPECT_THAT(SelectedNumbers(), ElementsAre("0"));
}

TEST_F(MemoryPane, CancelPartWayThroughAnUploadLeavesNoPartialFile) {
    Put({"a.mp3", "b.mp3", "c.mp3"}, 3 << 20);
    const std::string out = work_ / "out";
    std::filesystem::create_directory(out);
    setenv("KD5200_SPEED", "6000000", 1); // about half a second a file
    FolderTarget target(frame_, out);
    for (long row = 0; row < List().GetItemCount(); ++row)
        List().SelectRow(row);

    // Once the first file is there, press Cancel in the dialog. The check
    // runs from a timer inside the transfer, so it must never wait.
    bool pressed = false;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (pressed || !std::filesystem::exists(out + "/a.mp3")) return;
        for (wxWindow* top : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxGenericProgressDialog*>(top))
                if (wxWindow* cancel = dialog->FindWindow(wxID_CANCEL)) {
                    gui::MouseMove(gui::ScreenCenter(*cancel));
                    gui::MouseDown();
                    gui::MouseUp();
                    pressed = true;
                }
    });
    poll.Start(20);
    EXPECT_FALSE(pane_->SendTo(&target));
    unsetenv("KD5200_SPEED");
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(target.transferred); // told to re-list, nothing more
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(out))
        written.push_back(entry.path().filename().string());
    EXPECT_THAT(written, ElementsAre("a.mp3"));
    EXPECT_EQ(std::filesystem::file_size(out + "/a.mp3"), 3u << 20);
    EXPECT_TRUE(boxes_.shown.empty()); // a cancel is not an error
}

TEST_F(MemoryPane, DraggingRowsOntoThePcSideUploadsThem) {
    Put({"a.mp3", "b.mp3"});
    const std::string out = work_ / "out";
    std::filesystem::create_directory(out);
    auto* pc = new wxFrame(nullptr, wxID_ANY, "PC", wxPoint(700, 20), wxSize(300, 300));
    gui::ShowAndWait(pc);
    FolderTarget target(pc, out);
    pane_->AddPeer(&target);
    SelectNumbers({1});

    // Steps from a timer, so that they go on inside the drag's own loop.
    const wxPoint from = gui::RowScreenPoint(List(), 1);
    const wxPoint to = gui::ScreenCenter(*pc);
    gui::Script script;
    script.Then([=] { gui::MouseMove(from); }).Then([] { gui::MouseDown(); });
    // A few small moves on the row start the drag.
    for (int i = 1; i <= 4; ++i)
        script.Then([=] { gui::MouseMove(from + wxPoint(3 * i, 2 * i)); });
    for (int i = 1; i <= 6; ++i)
        script.Then([=] { gui::MouseMove(from + (to - from) * i / 6); });
    bool allowed = false;
    script.Then([&] { allowed = pane_->DropAllowed(); });
    script.Then([] { gui::MouseUp(); });
    ASSERT_TRUE(script.Run(15000));
    EXPECT_TRUE(allowed);
    EXPECT_TRUE(gui::PumpUntil([&] { return target.received == 1; }));
    EXPECT_EQ(devtest::ReadFile(out + "/b.mp3").size(), 100u);
    EXPECT_FALSE(std::filesystem::exists(out + "/a.mp3"));
    pane_->RemoveAllPeers();
    pc->Destroy();
}

TEST_F(MemoryPane, RawDataGoesToItsHandler) {
    Choose(ids::kPaneRawData);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Download Raw Data is not available.");
    int memory = -1;
    auto old = HMp3MemView::SetRawDataHandler([&](wxWindow*, int m) { memory = m; });
    Choose(ids::kPaneRawData);
    HMp3MemView::SetRawDataHandler(std::move(old));
    EXPECT_EQ(memory, 0);
}

// The transfers on their own, owned by a bare window: what fits a small
// memory is asked first; a file another program stores while that question
// is open makes the answer do nothing; the summary comes back to the caller.
class Transfers : public playertest::PlayerTest {
protected:
    std::string CreateOptions() const override { return "--internal 64K --external none"; }
    void SetUp() override {
        PlayerTest::SetUp();
        Connect();
        frame_ = new wxFrame(nullptr, wxID_ANY, "Songdock", wxPoint(20, 20), wxSize(400, 300));
        gui::ShowAndWait(frame_);
    }
    void TearDown() override {
        frame_->Destroy();
        gui::Pump();
        PlayerTest::TearDown();
    }
    wxFrame* frame_ = nullptr;
};

TEST_F(Transfers, WorkWithoutAPaneAndDoNothingAfterAChangeWhileAsked) {
    // 3 and 2 blocks of 16 KiB against 4 free.
    const std::string big = work_.path() + "/big.mp3", small = work_.path() + "/small.mp3";
    devtest::WriteFile(big, std::string(40000, 'b'));
    devtest::WriteFile(small, std::string(20000, 's'));
    HNameList list;
    list.Add(big.c_str(), -1, 0);
    list.Add(small.c_str(), -1, 0);
    player::MemoryTransfers transfers(frame_, "Internal Memory");

    boxes_.answers = {platform::kIdOk};
    boxes_.whileOpen = [&] {
        devtest::WriteFile(work_.path() + "/late.txt", "late");
        Sim("put internal " + work_.path() + "/late.txt");
    };
    player::MemoryTransfers::Outcome outcome = transfers.DownloadFiles(0, list);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text,
              "The player changed while the question was open; nothing was done.");
    EXPECT_EQ(outcome.code, KD5200_ERR_CANCELLED);
    EXPECT_TRUE(outcome.summary.empty());
    EXPECT_TRUE(outcome.playerChanged);
    EXPECT_THAT(playertest::Names(0), ElementsAre("late.txt"));

    // Asked again about the memory as it is now, and answered: what fits goes.
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdOk};
    outcome = transfers.DownloadFiles(0, list);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_THAT(outcome.summary, testing::StartsWith("1 file copied ("));
    EXPECT_THAT(playertest::Names(0), ElementsAre("late.txt", "big.mp3"));
}

} // namespace
