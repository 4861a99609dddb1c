// Every command of Songdock the way a person reaches it: the menu bar (its
// own event path, and the keyboard through the X server), the accelerators,
// the context menus; with a device change while a question is open; and the
// keys of the lists and of a name being edited.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include <unistd.h>

#include <gtk/gtk.h>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/progdlg.h>
#include <wx/display.h>
#include <wx/textctrl.h>
#include <wx/time.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "base/platform/gui/help_book.h"
#include "base/platform/gui/wx_services.h"
#include "lib/settings/settings_store.h"
#include "songdock_fixture.h"
#include "ui/controls/rebar.h"
#include "ui/controls/status_bar.h"
#include "views/desktop/filter_combo.h"

namespace {

namespace fs = std::filesystem;
using songdocktest::Songdock;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

// Ends every modal dialog of the program with Cancel as it appears, and
// counts them.
class DialogCloser {
public:
    DialogCloser() {
        timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<wxDialog*>(w); dialog && dialog->IsModal()) {
                    ++closed;
                    dialog->EndModal(wxID_CANCEL);
                }
        });
        timer_.Start(50);
    }
    int closed = 0;

private:
    wxTimer timer_;
};

class Commands : public Songdock {
protected:
    void SetUp() override {
        Songdock::SetUp();
        Sim("plug");
    }
    bool FromMenuBar(int command) {
        return gui::ChooseFromMenuBar(frame_, controls::MenuItemId(command));
    }
    bool FromContextMenu(HFileListCtrl& list, wxWindow* owner, int command) {
        const long row = list.GetFirstSelected();
        const wxPoint at = row >= 0 ? gui::RowScreenPoint(list, row) : gui::ScreenCenter(list);
        return gui::ChooseFromContextMenu(owner, at, controls::MenuItemId(command));
    }
    // Everything that a command may show: boxes, file dialogs, dialogs.
    int Shown() const { return int(boxes_.shown.size() + dialogs_.shown.size()) + closer_.closed; }

    DialogCloser closer_;
};

// What choosing a command must visibly do.
enum class Effect { Disabled, Runs, Question, Shows, Toggles, Refreshes, Help };

TEST_F(Commands, EveryMenuBarItemDoesWhatItSays) {
    Start();
    ClickRow(DesktopList(), "alpha.mp3");
    // clang-format off
    const std::vector<std::pair<int, Effect>> items = {
        {ids::kEditUndo, Effect::Disabled},          {ids::kEditCut, Effect::Disabled},
        {ids::kEditCopy, Effect::Disabled},          {ids::kEditPaste, Effect::Disabled},
        {ids::kOption, Effect::Shows},               {ids::kViewToolBar, Effect::Toggles},
        {ids::kViewStatusBar, Effect::Toggles},      {ids::kProperties, Effect::Shows},
        {ids::kRefresh, Effect::Refreshes},
        {ids::kFormatInternal, Effect::Question},    {ids::kFormatExternal, Effect::Question},
        {ids::kFormatAll, Effect::Question},         {ids::kLowFormatInternal, Effect::Question},
        {ids::kLowFormatExternal, Effect::Question}, {ids::kLowFormatAll, Effect::Question},
        {ids::kUpgradeApplication, Effect::Shows},   {ids::kUpgradeBoot, Effect::Shows},
        {ids::kDownloadFont, Effect::Shows},         {ids::kEraseFont, Effect::Runs},  
        {ids::kUploadFont, Effect::Shows},           {ids::kViewFontInfo, Effect::Shows},
        {ids::kRawDataInternal, Effect::Shows},      {ids::kRawDataExternal, Effect::Shows},
        {ids::kViewRawData, Effect::Shows},          {ids::kHelp, Effect::Help},
        {ids::kAppAbout, Effect::Shows},
    };
    // clang-format on
    for (const auto& [id, effect] : items) {
        SCOPED_TRACE(id);
        boxes_.answers = {platform::kIdNo, platform::kIdNo, platform::kIdNo};
        const int before = Shown();
        switch (effect) {
        case Effect::Disabled:
            EXPECT_FALSE(FromMenuBar(id));
            break;
        case Effect::Runs: // erasing a font that is not there shows nothing
            EXPECT_TRUE(FromMenuBar(id));
            break;
        case Effect::Question:
            ASSERT_TRUE(FromMenuBar(id));
            ASSERT_GT(boxes_.shown.size(), 0u);
            EXPECT_THAT(boxes_.shown.back().caption, testing::AnyOf("Format", "Low Level Format"));
            break;
        case Effect::Shows:
            ASSERT_TRUE(FromMenuBar(id));
            EXPECT_TRUE(gui::PumpUntil([&] { return Shown() > before; }, 3000));
            break;
        case Effect::Toggles: {
            wxWindow* bar = id == ids::kViewToolBar ? static_cast<wxWindow*>(frame_->GetReBar())
                                                    : frame_->GetStatusBarPanes();
            ASSERT_TRUE(FromMenuBar(id));
            EXPECT_FALSE(bar->IsShown());
            ASSERT_TRUE(FromMenuBar(id));
            EXPECT_TRUE(bar->IsShown());
            break;
        }
        case Effect::Refreshes:
            StoreElsewhere("LATE.MP3");
            ASSERT_TRUE(FromMenuBar(id));
            EXPECT_GE(RowOf(PaneList(0), "LATE.MP3"), 0);
            break;
        case Effect::Help:
            ASSERT_TRUE(FromMenuBar(id));
            ASSERT_TRUE(gui::PumpUntil([] { return platform::HelpBookWindow() != nullptr; }));
            platform::HelpBookWindow()->Close();
            break;
        }
        gui::Pump(50);
    }
    // Nothing was formatted: every question was answered No.
    EXPECT_EQ(playertest::Names(0).size(), 6u);
    EXPECT_TRUE(FromMenuBar(ids::kAppExit));
    EXPECT_TRUE(gui::PumpUntil([this] { return !wxTopLevelWindows.Find(frame_); }));
    frame_ = nullptr;
    app::FinishSongdock();
}

TEST_F(Commands, KeysAndContextMenusReachTheSameCommands) {
    Start();
    // The menu bar by keyboard: F10, along to Tool, down to Format and into it.
    ClickRow(PaneList(0), "README.TXT");
    boxes_.answers = {platform::kIdNo};
    for (int key : {int(WXK_F10), int(WXK_RIGHT), int(WXK_RIGHT), int(WXK_RIGHT), int(WXK_DOWN),
                    int(WXK_DOWN), int(WXK_RIGHT), int(WXK_RETURN)}) {
        gui::KeyPress(key);
        gui::Pump(120);
    }
    ASSERT_TRUE(gui::PumpUntil([this] { return !boxes_.shown.empty(); }, 3000));
    EXPECT_EQ(boxes_.shown.back().caption, "Format");

    // Accelerators: F5 re-reads, F2 edits the name.
    StoreElsewhere("LATE.MP3");
    gui::KeyPress(WXK_F5);
    EXPECT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(0), "LATE.MP3") >= 0; }));
    ClickRow(PaneList(0), "README.TXT");
    gui::KeyPress(WXK_F2);
    ASSERT_TRUE(gui::PumpUntil([this] { return PaneList(0).GetEditControl() != nullptr; }));
    gui::KeyPress(WXK_ESCAPE);
    gui::Pump(100);

    // The memory pane's context menu.
    ClickRow(PaneList(0), "README.TXT");
    const long before = RowOf(PaneList(0), "README.TXT");
    boxes_.answers = {platform::kIdNo};
    ASSERT_TRUE(FromContextMenu(PaneList(0), Pane(0), ids::kDelete));
    EXPECT_EQ(boxes_.shown.back().caption, "Confirm file deleting");
    boxes_.answers = {platform::kIdNo};
    ASSERT_TRUE(FromContextMenu(PaneList(0), Pane(0), ids::kPaneLowFormat));
    EXPECT_EQ(boxes_.shown.back().caption, "Low Level Format");
    const auto numbers = [this] { return gui::ListRows(PaneList(0)); };
    const auto old = numbers();
    ASSERT_TRUE(FromContextMenu(PaneList(0), Pane(0), before == 0 ? ids::kMoveDown : ids::kMoveUp));
    EXPECT_NE(numbers(), old);
    const auto names = playertest::Names(0);
    ASSERT_TRUE(FromContextMenu(PaneList(0), Pane(0), ids::kRename));
    EXPECT_TRUE(gui::PumpUntil([this] { return PaneList(0).GetEditControl() != nullptr; }));
    gui::KeyPress(WXK_ESCAPE);
    gui::Pump(100);
    EXPECT_EQ(playertest::Names(0), names); // Escape renames nothing
    const int shown = Shown();
    ASSERT_TRUE(FromContextMenu(PaneList(0), Pane(0), ids::kPaneRawData));
    EXPECT_TRUE(gui::PumpUntil([&] { return Shown() > shown; }));

    // The PC list's context menu, after a re-list (F5), on a row that was
    // not selected: the click selects it first.
    ClickRow(DesktopList(), "alpha.mp3");
    gui::KeyPress(WXK_F5);
    gui::Pump(200);
    boxes_.answers = {platform::kIdNo};
    const long beta = RowOf(DesktopList(), "beta.mp3");
    ASSERT_TRUE(gui::ChooseFromContextMenu(&Desktop(), gui::RowScreenPoint(DesktopList(), beta),
                                           controls::MenuItemId(ids::kDelete)));
    EXPECT_EQ(boxes_.shown.back().text, "Would delete file beta.mp3 ?");
    EXPECT_TRUE(fs::exists(pc_ + "/beta.mp3"));
}

TEST_F(Commands, ADeviceChangeWaitsUntilTheQuestionIsAnswered) {
    Start();
    // The person asked about VOICE001.QDX; meanwhile the player went away,
    // another program stored a file, and it came back.
    ClickRow(PaneList(0), "VOICE001.QDX");
    const auto rowsAsked = gui::ListRows(PaneList(0));
    std::vector<std::vector<std::string>> rowsWhileOpen;
    boxes_.answers = {platform::kIdYes};
    boxes_.whileOpen = [&] {
        Sim("unplug");
        gui::Pump(600);
        StoreElsewhere("AAAA.TXT");
        Sim("plug");
        gui::Pump(600);
        rowsWhileOpen = gui::ListRows(PaneList(0));
    };
    gui::KeyPress(WXK_DELETE);
    // Answered, the device change re-lists the pane; the answer, given
    // about another plug of the player, deleted nothing.
    EXPECT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(0), "AAAA.TXT") >= 0; }, 3000));
    EXPECT_EQ(rowsWhileOpen, rowsAsked);
    EXPECT_TRUE(PlayerHas(0, "VOICE001.QDX"));
    EXPECT_TRUE(PlayerHas(0, "REC01.QKA"));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text,
              "The player changed while the question was open; nothing was done.");

    // Format: an unplug while "Format" is asked leaves the rows until the answer.
    boxes_.answers = {platform::kIdNo};
    const auto rowsBefore = gui::ListRows(PaneList(0));
    boxes_.whileOpen = [&] {
        Sim("unplug");
        gui::Pump(600);
        rowsWhileOpen = gui::ListRows(PaneList(0));
    };
    ASSERT_TRUE(FromMenuBar(ids::kFormatInternal));
    EXPECT_EQ(rowsWhileOpen, rowsBefore);
    EXPECT_TRUE(gui::PumpUntil([this] { return !Pane(0) || !Pane(0)->IsShownOnScreen(); }));

    // A file dialog counts as a question too.
    Sim("plug");
    ASSERT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsConnected(); }));
    bool shownWhileOpen = false;
    dialogs_.whileOpen = [&] {
        Sim("unplug");
        gui::Pump(600);
        shownWhileOpen = Pane(0)->IsShownOnScreen();
    };
    ASSERT_TRUE(FromMenuBar(ids::kUpgradeApplication));
    EXPECT_TRUE(shownWhileOpen);

    // The overwrite question during an upload follows the same rule: the
    // file is not copied, and the box names it.
    Sim("plug");
    ASSERT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsConnected(); }));
    devtest::WriteFile(pc_ + "/README.TXT", "old");
    ClickRow(PaneList(0), "README.TXT");
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdYes};
    boxes_.whileOpen = [&] {
        Sim("unplug");
        gui::Pump(300);
        Sim("plug");
        gui::Pump(600);
    };
    ClickButton(ids::kUploadFromInternal);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[0].text, "Already exist the file.\nWill you overwrite?");
    EXPECT_EQ(boxes_.shown[1].text,
              "The player changed while the question was open; nothing was done.");
    EXPECT_EQ(boxes_.shown[1].secondary, "README.TXT");
    EXPECT_EQ(devtest::ReadFile(pc_ + "/README.TXT"), "old");
}

TEST_F(Commands, AQuickReplugIsSeenAndAnEditActsOnlyOnTheFileShown) {
    Start();
    // Pulled out, given a file by another program and plugged in again, all
    // within the pause of one change notice.
    Sim("unplug");
    StoreElsewhere("LATE.MP3");
    Sim("plug");
    EXPECT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(0), "LATE.MP3") >= 0; }, 3000));
    EXPECT_THAT(Pane(0)->GetHeaderText(), testing::HasSubstr("6 File(s)"));

    // While the person types a new name for README.TXT (entry 1), the player
    // is made again with other files: entry 1 is now another file.
    ClickRow(PaneList(0), "README.TXT");
    gui::KeyPress(WXK_F2);
    ASSERT_TRUE(gui::PumpUntil([this] { return PaneList(0).GetEditControl() != nullptr; }));
    PaneList(0).GetEditControl()->SelectAll();
    wxUIActionSimulator().Text("NEW.TXT");
    gui::Pump(100);
    Sim("unplug");
    Sim("create");
    for (const char* name : {"first.mp3", "second.mp3"}) {
        devtest::WriteFile(work_.path() + "/" + name, name);
        Sim(std::string("put internal ") + work_.path() + "/" + name);
    }
    Sim("plug");
    boxes_.shown.clear();
    gui::KeyPress(WXK_RETURN);
    // The edit ends without a rename: refused with a word, or cancelled by
    // the re-listing of the changed player.
    EXPECT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(0), "second.mp3") >= 0; }, 3000));
    gui::Pump(300);
    EXPECT_TRUE(PlayerHas(0, "second.mp3"));
    EXPECT_FALSE(PlayerHas(0, "NEW.TXT"));
    for (const auto& box : boxes_.shown)
        EXPECT_EQ(box.text, "The player's files changed since they were listed; nothing was done.");
}

TEST_F(Commands, ACommandOnFilesChangedElsewhereDoesNothing) {
    Start();
    const std::string changed =
        "The player's files changed since they were listed; nothing was done.";
    // Another program swaps two entries, which gives no change notice: the
    // pane still shows README.TXT as entry 1.
    const auto swap = [](int entry) {
        ASSERT_TRUE(DevApi().Replace(DevGetHandle(), 0, entry, entry + 1));
    };
    swap(1);
    const auto order = playertest::Names(0);
    ASSERT_EQ(order[1], "Notes for the trip.txt");
    // Download to the PC: nothing arrives, neither file.
    ClickRow(PaneList(0), "README.TXT");
    ClickButton(ids::kUploadFromInternal);
    ASSERT_FALSE(boxes_.shown.empty());
    EXPECT_EQ(boxes_.shown.back().text, changed);
    EXPECT_FALSE(fs::exists(pc_ + "/Notes for the trip.txt"));
    EXPECT_FALSE(fs::exists(pc_ + "/README.TXT"));
    // The pane lists the player as it is now.
    EXPECT_EQ(gui::ListRows(PaneList(0))[size_t(RowOf(PaneList(0), "README.TXT"))][1], "2");
    // Move Up, with the rows out of date again: the order stays.
    swap(2);
    const auto swapped = playertest::Names(0);
    ClickRow(PaneList(0), "README.TXT");
    boxes_.shown.clear();
    ASSERT_TRUE(FromContextMenu(PaneList(0), Pane(0), ids::kMoveUp));
    ASSERT_FALSE(boxes_.shown.empty());
    EXPECT_EQ(boxes_.shown.back().text, changed);
    EXPECT_EQ(playertest::Names(0), swapped);
}

TEST_F(Commands, AQuestionAnsweredAfterADeviceChangeDoesNothing) {
    Start();
    // The player is pulled out and plugged in again, with a file the person
    // never saw, while each question is open; then the question is answered.
    const std::string changed = "The player changed while the question was open; nothing was done.";
    for (const auto& [format, unseen] : {std::pair{ids::kFormatInternal, "UNSEEN1.MP3"},
                                         std::pair{ids::kLowFormatAll, "UNSEEN2.MP3"}}) {
        boxes_.answers = {platform::kIdYes};
        boxes_.whileOpen = [&] {
            Sim("unplug");
            StoreElsewhere(unseen);
            Sim("plug");
            gui::Pump(100);
        };
        ASSERT_TRUE(FromMenuBar(format));
        ASSERT_GE(boxes_.shown.size(), 2u);
        EXPECT_EQ(boxes_.shown.back().text, changed);
        EXPECT_TRUE(PlayerHas(0, unseen));
        EXPECT_TRUE(PlayerHas(0, "README.TXT"));
    }
    // Another program stores a file while the question is open, with no
    // plug at all: the memory is not what was shown, and is not formatted.
    for (const auto& [format, late] : {std::pair{ids::kFormatInternal, "LATE1.MP3"},
                                       std::pair{ids::kLowFormatInternal, "LATE2.MP3"}}) {
        ASSERT_TRUE(gui::PumpUntil([&] { return RowOf(PaneList(0), "UNSEEN2.MP3") >= 0; }));
        boxes_.shown.clear();
        boxes_.answers = {platform::kIdYes};
        boxes_.whileOpen = [&] { StoreElsewhere(late); };
        ASSERT_TRUE(FromMenuBar(format));
        ASSERT_EQ(boxes_.shown.size(), 2u);
        EXPECT_EQ(boxes_.shown[1].text, changed);
        EXPECT_TRUE(PlayerHas(0, late));
        EXPECT_TRUE(PlayerHas(0, "README.TXT"));
        // The pane shows the file that came.
        EXPECT_TRUE(gui::PumpUntil([&] { return RowOf(PaneList(0), late) >= 0; }));
    }

    // Unplugged while Delete or the overwrite question is open: said so,
    // and nothing is done.
    const std::string unplugged =
        "The player was unplugged while the question was open; nothing was done.";
    devtest::WriteFile(pc_ + "/README.TXT", "old");
    for (const int command : {ids::kDelete, ids::kUploadFromInternal}) {
        ClickRow(PaneList(0), "README.TXT");
        boxes_.shown.clear();
        boxes_.answers = {platform::kIdYes};
        boxes_.whileOpen = [&] {
            Sim("unplug");
            gui::Pump(300);
        };
        if (command == ids::kDelete)
            gui::KeyPress(WXK_DELETE);
        else
            ClickButton(command);
        EXPECT_TRUE(gui::PumpUntil([&] { return boxes_.shown.size() >= 2; }, 10000));
        ASSERT_EQ(boxes_.shown.size(), 2u) << command;
        EXPECT_EQ(boxes_.shown[1].text, unplugged);
        EXPECT_EQ(devtest::ReadFile(pc_ + "/README.TXT"), "old");
        Sim("plug");
        ASSERT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsConnected(); }));
        EXPECT_TRUE(PlayerHas(0, "README.TXT"));
    }

    // The font and the firmware: the player changes while the file is chosen.
    devtest::WriteFile(work_.path() + "/big.fot", std::string(1000, 'f'));
    devtest::WriteFile(work_.path() + "/code.bin", std::string(4096, 'c'));
    for (const auto& [command, file] : {std::pair{ids::kDownloadFont, "/big.fot"},
                                        std::pair{ids::kUpgradeApplication, "/code.bin"}}) {
        ASSERT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsConnected(); }));
        boxes_.shown.clear();
        dialogs_.answers = {work_.path() + file};
        dialogs_.whileOpen = [&] {
            Sim("unplug");
            Sim("plug");
            gui::Pump(100);
        };
        ASSERT_TRUE(FromMenuBar(command));
        ASSERT_FALSE(boxes_.shown.empty());
        EXPECT_EQ(boxes_.shown.back().text, changed);
    }
    EXPECT_THAT(Sim("font"), Not(testing::HasSubstr("big.fot")));
    // No firmware was written: the program did not ask for a restart.
    EXPECT_TRUE(frame_->IsShown());

    // Raw data over a file that exists: the player changes while the
    // overwrite question is open, and the old file stays.
    const std::string raw = work_.path() + "/raw.bin";
    devtest::WriteFile(raw, "old");
    settings::WriteSongdockText(settings::kRawDataFileName, raw);
    ASSERT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsConnected(); }));
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdYes};
    boxes_.whileOpen = [&] {
        Sim("unplug");
        Sim("plug");
        gui::Pump(100);
    };
    ASSERT_TRUE(FromMenuBar(ids::kRawDataInternal));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown.back().text, changed);
    EXPECT_EQ(devtest::ReadFile(raw), "old");
}

// Answers the next real (native) message box No once it is on screen, and
// notes its width.
class NativeBoxWidth {
public:
    NativeBoxWidth() {
        timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            GList* windows = gtk_window_list_toplevels();
            for (GList* w = windows; w; w = w->next) {
                GtkWidget* widget = GTK_WIDGET(w->data);
                if (GTK_IS_MESSAGE_DIALOG(widget) && gtk_widget_get_mapped(widget)) {
                    width = gtk_widget_get_allocated_width(widget);
                    gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_NO);
                }
            }
            g_list_free(windows);
        });
        timer_.Start(200);
    }
    int width = 0;

private:
    wxTimer timer_;
};

TEST_F(Commands, ABoxWithALongNameFitsTheScreen) {
    const std::string longName = std::string(192, 'n') + ".mp3";
    Start();
    devtest::WriteFile(pc_ + "/" + longName, "x");
    ClickRow(DesktopList(), "alpha.mp3");
    gui::KeyPress(WXK_F5);
    ASSERT_TRUE(gui::PumpUntil([&] { return RowOf(DesktopList(), longName) >= 0; }));
    const platform::MessageBoxHandler scripted = platform::SetMessageBoxHandler({});
    platform::InstallWxMessageBoxes();
    ClickRow(DesktopList(), longName);
    const int most = wxDisplay(0u).GetGeometry().width * 2 / 3;
    {
        NativeBoxWidth box;
        gui::KeyPress(WXK_DELETE);
        EXPECT_TRUE(gui::PumpUntil([&] { return box.width > 0; }, 5000));
        EXPECT_LE(box.width, most);
        EXPECT_TRUE(fs::exists(pc_ + "/" + longName));
    }
    // A folder with a long name dropped on a memory: "Cannot download directory."
    const std::string folder = pc_ + "/" + std::string(200, 'd');
    fs::create_directory(folder);
    NativeBoxWidth box;
    auto* files = new wxString[1]{wxString::FromUTF8(folder)};
    wxDropFilesEvent drop(wxEVT_DROP_FILES, 1, files);
    drop.SetEventObject(Pane(0));
    Pane(0)->GetEventHandler()->ProcessEvent(drop);
    EXPECT_TRUE(gui::PumpUntil([&] { return box.width > 0; }, 5000));
    EXPECT_LE(box.width, most);
    platform::SetMessageBoxHandler(scripted);
}

TEST_F(Commands, ANameBeingEditedKeepsItsKeysAndItsMenu) {
    Start();
    ClickRow(PaneList(0), "README.TXT");
    gui::KeyPress(WXK_F2);
    ASSERT_TRUE(gui::PumpUntil([this] { return PaneList(0).GetEditControl() != nullptr; }));
    wxTextCtrl* edit = PaneList(0).GetEditControl();
    edit->SelectAll();
    gui::KeyPress('C', wxMOD_CONTROL);
    gui::KeyPress(WXK_END);
    gui::KeyPress('V', wxMOD_CONTROL);
    gui::KeyPress(WXK_INSERT, wxMOD_SHIFT);
    gui::Pump(200);
    EXPECT_EQ(edit->GetValue(), "README.TXTREADME.TXTREADME.TXT");
    edit->SelectAll();
    gui::KeyPress('X', wxMOD_CONTROL);
    gui::Pump(100);
    EXPECT_EQ(edit->GetValue(), "");
    // A right click in the field opens the field's own menu, not the pane's
    // (Delete among it), and the edit goes on.
    bool paneMenu = false;
    auto onOpen = [&](wxMenuEvent& e) {
        paneMenu = true;
        e.Skip();
    };
    Pane(0)->Bind(wxEVT_MENU_OPEN, onOpen);
    gui::MouseMove(gui::ScreenCenter(*edit));
    gui::MouseDown(2);
    gui::MouseUp(2);
    gui::Pump(300);
    gui::KeyPress(WXK_ESCAPE);
    gui::Pump(100);
    Pane(0)->Unbind(wxEVT_MENU_OPEN, onOpen);
    EXPECT_FALSE(paneMenu);
    EXPECT_NE(PaneList(0).GetEditControl(), nullptr);

    // An unplug cancels the edit without a word.
    Sim("unplug");
    EXPECT_TRUE(gui::PumpUntil([this] { return !Pane(0) || !Pane(0)->IsShownOnScreen(); }));
    EXPECT_TRUE(boxes_.shown.empty());
    Sim("plug");
    EXPECT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsConnected(); }));
    EXPECT_TRUE(PlayerHas(0, "README.TXT"));

    // A renamed file stays selected under its new name, wherever it sorts.
    ClickRow(PaneList(0), "README.TXT");
    gui::KeyPress(WXK_F2);
    ASSERT_TRUE(gui::PumpUntil([this] { return PaneList(0).GetEditControl() != nullptr; }));
    PaneList(0).GetEditControl()->SelectAll();
    wxUIActionSimulator().Text("ZZZ.TXT");
    gui::KeyPress(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(0), "ZZZ.TXT") >= 0; }));
    gui::Pump(100);
    EXPECT_THAT(gui::SelectedRows(PaneList(0)), ElementsAre(RowOf(PaneList(0), "ZZZ.TXT")));
}

TEST_F(Commands, TheKeyboardAloneGoesEverywhere) {
    Start();
    // The keyboard starts in the PC list.
    EXPECT_EQ(View().GetFocusedPane(), -1);
    EXPECT_TRUE(DesktopList().HasFocus() || wxWindow::FindFocus()->GetParent() == &DesktopList());

    // Keys in the filter combo print nothing on standard error.
    fflush(stderr);
    char path[] = "/tmp/songdock-stderr-XXXXXX";
    const int capture = mkstemp(path);
    const int saved = dup(2);
    dup2(capture, 2);
    frame_->GetFilterCombo()->SetFocus();
    // (Return opens the combo's list, Escape closes it again.)
    for (int key : {int(WXK_DOWN), int(WXK_UP), int('a'), int(WXK_RETURN), int(WXK_ESCAPE)})
        gui::KeyPress(key);
    gui::Pump(300);
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_EQ(lseek(capture, 0, SEEK_END), 0) << devtest::ReadFile(path);
    close(capture);
    unlink(path);

    // Ctrl+A in either list selects every row.
    ClickRow(DesktopList(), "alpha.mp3");
    gui::KeyPress('A', wxMOD_CONTROL);
    gui::Pump(100);
    EXPECT_EQ(DesktopList().GetSelectedItemCount(), DesktopList().GetItemCount());
    ClickRow(PaneList(0), "README.TXT");
    gui::KeyPress('A', wxMOD_CONTROL);
    gui::Pump(100);
    EXPECT_EQ(PaneList(0).GetSelectedItemCount(), PaneList(0).GetItemCount());

    // Delete moves the selection on to the next row.
    ClickRow(PaneList(0), "README.TXT");
    const long row = RowOf(PaneList(0), "README.TXT");
    const std::string next = gui::ListRows(PaneList(0))[row + 1][0];
    boxes_.answers = {platform::kIdYes};
    gui::KeyPress(WXK_DELETE);
    ASSERT_TRUE(gui::PumpUntil([this] { return !PlayerHas(0, "README.TXT"); }));
    gui::Pump(100);
    EXPECT_THAT(gui::SelectedRows(PaneList(0)), ElementsAre(RowOf(PaneList(0), next)));

    // Unplugged and plugged again, the focus comes back to the memory pane.
    Sim("unplug");
    ASSERT_TRUE(gui::PumpUntil([this] { return !Pane(0) || !Pane(0)->IsShownOnScreen(); }));
    EXPECT_EQ(View().GetFocusedPane(), -1);
    Sim("plug");
    ASSERT_TRUE(gui::PumpUntil([this] { return Pane(0) && Pane(0)->IsShownOnScreen(); }));
    EXPECT_TRUE(gui::PumpUntil([this] { return View().GetFocusedPane() == 0; }));
    // ... on the row it was on, with the selection it had.
    EXPECT_THAT(gui::SelectedRows(PaneList(0)), ElementsAre(RowOf(PaneList(0), next)));
    EXPECT_EQ(PaneList(0).GetFocusedRow(), RowOf(PaneList(0), next));

    // Tab reaches the arrow buttons; Space sends the PC selection. A Tab
    // typed straight after the key that selects, before the window had a
    // moment, still lands on the arrow that the selection enabled.
    ClickRow(DesktopList(), "alpha.mp3");
    DesktopList().ClearSelection();
    gui::Pump(100);
    wxWindow* button = View().FindWindow(ids::kDownloadToInternal);
    ASSERT_FALSE(button->IsEnabled());
    gui::KeyPress(WXK_SPACE);
    gui::KeyPress(WXK_TAB);
    gui::Pump(300);
    ASSERT_EQ(wxWindow::FindFocus(), button);
    gui::KeyPress(WXK_SPACE);
    EXPECT_TRUE(gui::PumpUntil([this] { return PlayerHas(0, "alpha.mp3"); }));

    // Backspace and Alt+Up go to the parent folder.
    devtest::WriteFile(pc_ + "/Albums/one.mp3", "x");
    ClickRow(DesktopList(), "Albums");
    gui::KeyPress(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([this] { return RowOf(DesktopList(), "alpha.mp3") < 0; }));
    // The opened folder has a current row for the keys.
    EXPECT_EQ(DesktopList().GetFocusedRow(), 0);
    gui::KeyPress(WXK_BACK);
    EXPECT_TRUE(gui::PumpUntil([this] { return RowOf(DesktopList(), "alpha.mp3") >= 0; }));
    // The folder left is the one selected, and the keys go on from it.
    EXPECT_THAT(gui::SelectedRows(DesktopList()), ElementsAre(RowOf(DesktopList(), "Albums")));
    EXPECT_EQ(DesktopList().GetFocusedRow(), RowOf(DesktopList(), "Albums"));
    DesktopList().SetFocus();
    gui::KeyPress(WXK_UP, wxMOD_ALT);
    EXPECT_TRUE(gui::PumpUntil([&] { return RowOf(DesktopList(), "pc") >= 0; }));
    EXPECT_THAT(gui::SelectedRows(DesktopList()), ElementsAre(RowOf(DesktopList(), "pc")));
    // F5 reads the folder again and keeps the row.
    gui::KeyPress(WXK_F5);
    gui::Pump(300);
    EXPECT_THAT(gui::SelectedRows(DesktopList()), ElementsAre(RowOf(DesktopList(), "pc")));
    EXPECT_EQ(DesktopList().GetFocusedRow(), RowOf(DesktopList(), "pc"));
}

TEST_F(Commands, AFileManagerDropReturnsBeforeTheCopy) {
    Start();
    // The event owns its array of names.
    auto* files = new wxString[1]{wxString::FromUTF8(pc_ + "/alpha.mp3")};
    wxDropFilesEvent drop(wxEVT_DROP_FILES, 1, files);
    drop.SetEventObject(Pane(1));
    Pane(1)->GetEventHandler()->ProcessEvent(drop);
    EXPECT_FALSE(PlayerHas(1, "alpha.mp3"));
    EXPECT_TRUE(gui::PumpUntil([this] { return PlayerHas(1, "alpha.mp3"); }));
}

// Transfers, with no dialog closed behind the test's back.
class Transfers : public Songdock {
protected:
    void SetUp() override {
        Songdock::SetUp();
        Sim("plug");
    }
    // Selects alpha.mp3, beta.mp3 and notes.txt on the PC side.
    void SelectPcFiles() {
        ClickRow(DesktopList(), "alpha.mp3");
        gui::KeyPress(WXK_DOWN, wxMOD_SHIFT);
        gui::KeyPress(WXK_DOWN, wxMOD_SHIFT);
        gui::Pump(100);
        ASSERT_EQ(DesktopList().GetSelectedItemCount(), 3);
    }
    // Selects every file of the internal memory, clicking the named one first.
    void SelectInternalFiles(const std::string& first = "README.TXT") {
        ClickRow(PaneList(0), first);
        PaneList(0).SetFocus();
        gui::KeyPress('A', wxMOD_CONTROL);
        gui::Pump(100);
    }
    // Selects with select, presses the arrow button and answers the
    // question that follows with answer.
    template <typename Select> void Send(Select select, int button, int answer) {
        boxes_.shown.clear();
        boxes_.answers = {answer};
        select();
        ClickButton(button);
        gui::Pump(300);
    }
};

// Copying several player files to PC files that exist: one "Yes to All" or
// "No to All" answers the whole transfer; a single file gets the plain question.
TEST_F(Transfers, ToAllAnswersTheRestOfACopyToThePc) {
    const std::vector<std::string> names = {"Demo Song.mp3", "README.TXT",
                                            "Notes for the trip.txt"};
    const auto writeOld = [&] {
        for (const std::string& name : names)
            devtest::WriteFile(pc_ + "/" + name, "old");
    };
    const auto oldCount = [&] {
        return std::count_if(names.begin(), names.end(), [&](const std::string& name) {
            return devtest::ReadFile(pc_ + "/" + name) == "old";
        });
    };
    Start();
    writeOld();
    const auto copyAll = [&](int answer) {
        Send([&] { SelectInternalFiles(); }, ids::kUploadFromInternal, answer);
    };

    copyAll(platform::kIdNoToAll);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Already exist the file.\nWill you overwrite?");
    EXPECT_EQ(boxes_.shown[0].style & platform::kMbButtonsMask, platform::kMbYesNoToAllCancel);
    EXPECT_EQ(oldCount(), 3);

    // Cancel stops the transfer, and the status bar says so.
    copyAll(platform::kIdCancel);
    EXPECT_EQ(oldCount(), 3);
    EXPECT_EQ(frame_->GetStatusBar()->GetStatusText(0).utf8_string(), "0 of 5 files copied; cancelled");

    copyAll(platform::kIdYesToAll);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(oldCount(), 0);

    // One file alone: Yes, No and Cancel, as ever.
    writeOld();
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdNo};
    ClickRow(PaneList(0), "README.TXT");
    ClickButton(ids::kUploadFromInternal);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].style & platform::kMbButtonsMask, platform::kMbYesNoCancel);
    EXPECT_EQ(oldCount(), 3);

    // The real question: "Yes to All" clicked once replaces every PC file.
    const platform::MessageBoxHandler scripted = platform::SetMessageBoxHandler({});
    platform::InstallWxMessageBoxes();
    std::vector<wxString> labels;
    wxTimer clicker;
    wxLongLong clicked = 0;
    clicker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(w);
            wxWindow* button =
                dialog && dialog->IsModal() ? dialog->FindWindow(wxID_YESTOALL) : nullptr;
            // Clicked once it is on the screen; a click a loaded display lost
            // (the box still open a second later) is made again.
            if (!button || !gtk_widget_get_mapped(button->GetHandle()) ||
                wxGetLocalTimeMillis() - clicked < 1000)
                continue;
            if (labels.empty())
                for (wxWindow* child : dialog->GetChildren())
                    if (dynamic_cast<wxButton*>(child)) labels.push_back(child->GetLabel());
            clicked = wxGetLocalTimeMillis();
            gui::MouseMove(gui::ScreenCenter(*button));
            gui::MouseDown();
            gui::MouseUp();
        }
    });
    clicker.Start(100);
    SelectInternalFiles();
    ClickButton(ids::kUploadFromInternal);
    EXPECT_TRUE(gui::PumpUntil([&] { return !labels.empty(); }));
    gui::Pump(300);
    clicker.Stop();
    platform::SetMessageBoxHandler(scripted);
    EXPECT_THAT(labels, ElementsAre("&Yes", "Yes to &All", "&No", "N&o to All", "Cancel"));
    EXPECT_EQ(oldCount(), 0);
}

// While the overwrite question is open another program deletes a player
// file, so that a later one takes its number: that one is not copied, the
// box names it, and the status bar says the transfer failed.
TEST_F(Transfers, AFileThatTookAnotherNumberIsNotCopied) {
    Start();
    devtest::WriteFile(pc_ + "/Demo Song.mp3", "old song");
    devtest::WriteFile(pc_ + "/README.TXT", "old readme");
    ASSERT_EQ(playertest::Names(0)[0], "Demo Song.mp3");
    ASSERT_EQ(playertest::Names(0)[1], "README.TXT");
    ClickRow(PaneList(0), "Demo Song.mp3");
    wxUIActionSimulator keys;
    keys.KeyDown(WXK_CONTROL);
    gui::MouseMove(gui::RowScreenPoint(PaneList(0), RowOf(PaneList(0), "README.TXT")));
    gui::MouseDown();
    gui::MouseUp();
    keys.KeyUp(WXK_CONTROL);
    gui::Pump(300);
    ASSERT_EQ(PaneList(0).GetSelectedItemCount(), 2);
    frame_->SetStatusText("");
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdYesToAll};
    boxes_.whileOpen = [] {
        ASSERT_TRUE(DevApi().Delete(nullptr, DevGetHandle(), 0, 1, "README.TXT"));
    };
    ClickButton(ids::kUploadFromInternal);
    EXPECT_TRUE(gui::PumpUntil([&] { return boxes_.shown.size() >= 2; }, 3000));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].secondary, "README.TXT");
    EXPECT_NE(devtest::ReadFile(pc_ + "/Demo Song.mp3"), "old song");
    EXPECT_EQ(devtest::ReadFile(pc_ + "/README.TXT"), "old readme");
    EXPECT_THAT(frame_->GetStatusBar()->GetStatusText(0).utf8_string(),
                testing::HasSubstr("1 of 2 files copied"));
    // The pane shows the player as it is now.
    EXPECT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(0), "README.TXT") < 0; }));
}

// PC files that do not fit the player's memory: one question before anything
// is written, then only whole files, those that fit in the order given.
TEST_F(Transfers, ASelectionThatDoesNotFitAsksFirstAndCopiesWhatFits) {
    Sim("create --internal 64K --external none");
    Sim("plug");
    // 3, 2 and 1 blocks of 16 KiB against 4 free.
    devtest::WriteFile(pc_ + "/alpha.mp3", std::string(40000, 'a'));
    devtest::WriteFile(pc_ + "/beta.mp3", std::string(20000, 'b'));
    devtest::WriteFile(pc_ + "/notes.txt", std::string(10000, 'n'));
    Start();
    const auto sendThree = [&](int answer) {
        Send([&] { SelectPcFiles(); }, ids::kDownloadToInternal, answer);
    };

    sendThree(platform::kIdCancel);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              "The files need 96KB in 3 entries; 64KB and 512 entries are free.\n"
              "Copy the 2 of 3 files that fit, in the order given?");
    EXPECT_EQ(boxes_.shown[0].style & platform::kMbButtonsMask, platform::kMbOkCancel);
    EXPECT_TRUE(playertest::Names(0).empty());

    sendThree(platform::kIdOk);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_THAT(playertest::Names(0), testing::UnorderedElementsAre("alpha.mp3", "notes.txt"));
    EXPECT_EQ(Pane(0)->GetHeaderText(), " Internal Memory - Total 64KB,  Remain 0KB,  2 File(s)");

    // Nothing fits any more: said, and nothing is tried.
    boxes_.shown.clear();
    ClickRow(DesktopList(), "beta.mp3");
    ClickButton(ids::kDownloadToInternal);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              "The files need 32KB in 1 entry; 0KB and 510 entries are free.\n"
              "None of the files fits.");
}

// Player files that do not fit the PC folder's file system (a small one of its
// own, mounted by small_folder.sh): asked before the first byte, then whole
// files only. The case exists only on that file system, so that an ordinary
// run neither lists nor skips it.
class SmallFolderCopy : public Transfers {
public:
    void TestBody() override;
};

[[maybe_unused]] const bool kSmallFolderCopyRegistered =
    std::getenv("SONGDOCK_TEST_SMALL_FOLDER") != nullptr &&
    testing::RegisterTest("Transfers", "ACopyToAFolderThatIsTooSmallAsksFirstAndCopiesWhatFits",
                          nullptr, nullptr, __FILE__, __LINE__,
                          []() -> Transfers* { return new SmallFolderCopy; }) != nullptr;

void SmallFolderCopy::TestBody() {
    // 3 PC files of one page, leaving 29 pages of 4 KiB.
    pc_ = std::getenv("SONGDOCK_TEST_SMALL_FOLDER");
    fs::create_directories(pc_ + "/Albums");
    for (const char* name : {"alpha.mp3", "beta.mp3", "notes.txt"})
        devtest::WriteFile(pc_ + "/" + name, std::string(3000, 'x'));
    std::ofstream(config_.path() + "/Zentrovia/Songdock.conf")
        << "[Desktop]\nLastDirectory=" << pc_ << "\n";
    Sim("create --internal 1M --external none");
    Sim("plug");
    // 20, 15 and 5 pages.
    for (const auto& [name, size] : {std::pair{"big.mp3", 80000}, {"mid.mp3", 60000},
                                     {"small.txt", 20000}}) {
        devtest::WriteFile(work_.path() + "/" + name, std::string(size, name[0]));
        Sim(std::string("put internal ") + work_.path() + "/" + name);
    }
    Start();
    const auto copyAll = [&](int answer) {
        Send([&] { SelectInternalFiles("big.mp3"); }, ids::kUploadFromInternal, answer);
    };
    const auto pcHas = [&](const std::string& name) { return fs::exists(pc_ + "/" + name); };

    copyAll(platform::kIdCancel);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "The files need 160KB; 116KB is free.\n"
                                    "Copy the 2 of 3 files that fit, in the order given?");
    EXPECT_EQ(boxes_.shown[0].style & platform::kMbButtonsMask, platform::kMbOkCancel);
    EXPECT_FALSE(pcHas("big.mp3") || pcHas("mid.mp3") || pcHas("small.txt"));

    copyAll(platform::kIdOk);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(devtest::ReadFile(pc_ + "/big.mp3"), std::string(80000, 'b'));
    EXPECT_EQ(devtest::ReadFile(pc_ + "/small.txt"), std::string(20000, 's'));
    EXPECT_FALSE(pcHas("mid.mp3"));

    // The rest no longer fits at all: said, and nothing is tried.
    boxes_.shown.clear();
    ClickRow(PaneList(0), "mid.mp3");
    ClickButton(ids::kUploadFromInternal);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "The files need 60KB; 16KB is free.\nNone of the files fits.");
    EXPECT_FALSE(pcHas("mid.mp3"));
}

// A copy of several files shows which file of how many is under way and the
// bytes of the whole job; when it ends, the status bar sums it up, also after
// Cancel, which keeps the files already copied.
TEST_F(Transfers, ProgressNamesEachFileAndTheStatusBarSumsUpTheJob) {
    for (const char* name : {"alpha.mp3", "beta.mp3", "notes.txt"})
        devtest::WriteFile(pc_ + "/" + name, std::string(300000, 'x'));
    setenv("KD5200_SPEED", "600000", 1); // half a second a file
    Start();
    std::vector<std::string> messages;
    bool cancelOnSecond = false;
    wxTimer watcher;
    watcher.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxGenericProgressDialog*>(w);
            if (!dialog || !dialog->IsShown()) continue;
            const std::string message = dialog->GetMessage().utf8_string();
            if (messages.empty() || messages.back() != message) messages.push_back(message);
            if (cancelOnSecond && message.find("File 2 of 3") != std::string::npos) {
                cancelOnSecond = false;
                wxWindow* cancel = dialog->FindWindow(wxID_CANCEL);
                gui::MouseMove(gui::ScreenCenter(*cancel));
                gui::MouseDown();
                gui::MouseUp();
            }
        }
    });
    watcher.Start(50);
    const auto status = [&] { return frame_->GetStatusBar()->GetStatusText(0).utf8_string(); };
    const auto sendThree = [&](int button) {
        messages.clear();
        frame_->SetStatusText("");
        SelectPcFiles();
        ClickButton(button);
        EXPECT_TRUE(gui::PumpUntil([&] { return !status().empty(); }, 10000));
    };

    // Checked copies: each file is read back after it is copied, and the
    // dialog says so.
    settings::WriteVerifyCopies(true);
    sendThree(ids::kDownloadToInternal);
    settings::WriteVerifyCopies(false);
    const auto shown = [&](const std::string& file) {
        return std::any_of(messages.begin(), messages.end(), [&](const std::string& m) {
            return m.rfind("Copying to the player...\n" + file + "\n", 0) == 0 &&
                   m.ends_with(" of 879 KB");
        });
    };
    EXPECT_TRUE(shown("File 1 of 3: alpha.mp3")) << testing::PrintToString(messages);
    EXPECT_TRUE(shown("File 2 of 3: beta.mp3"));
    EXPECT_TRUE(shown("File 3 of 3: notes.txt"));
    EXPECT_TRUE(shown("Checking file 2 of 3: beta.mp3"));
    EXPECT_THAT(status(), testing::MatchesRegex("3 files copied \\(879 KB\\) in [0-9]+\\.[0-9] s"));

    cancelOnSecond = true;
    sendThree(ids::kDownloadToExternal);
    EXPECT_EQ(status(), "1 of 3 files copied; cancelled");
    EXPECT_TRUE(PlayerHas(1, "alpha.mp3"));
    EXPECT_FALSE(PlayerHas(1, "beta.mp3"));
    watcher.Stop();
    // What the status bar told no longer stands once the player is pulled out.
    Sim("unplug");
    EXPECT_TRUE(gui::PumpUntil([&] { return status().empty(); }, 5000)) << status();
}

} // namespace
