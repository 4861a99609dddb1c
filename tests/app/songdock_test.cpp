// Songdock as a whole on the virtual player: started as the program starts,
// driven by clicks, keys, drags and menu commands under the virtual display,
// with message boxes answered here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include <unistd.h>

#include <cstdio>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/splitter.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <gtk/gtk.h>

#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/startup.h"
#include "ui/controls/status_bar.h"
#include "views/desktop/desktop_view.h"
#include "views/desktop/filter_combo.h"
#include "base/platform/gui/device_monitor.h"
#include "base/platform/gui/help_book.h"
#include "base/platform/gui/wx_services.h"
#include "base/platform/message_box.h"
#include "views/player/memory_pane.h"
#include "player_fixture.h"
#include "player_steps.h"
#include "base/resources/ids.h"
#include "lib/settings/settings_store.h"
#include "base/resources/strings.h"
#include "songdock_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"
#include "ui/controls/menu_builder.h"

namespace fs = std::filesystem;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

namespace {

using songdocktest::Songdock;

TEST_F(Songdock, WithoutAPlayerOnlyRefreshAndTheSavedRawDataStayEnabled) {
    Start();
    EXPECT_FALSE(Pane(0));
    for (int id : {ids::kDownloadToInternal, ids::kDownloadToExternal,
                   ids::kUploadFromInternal, ids::kUploadFromExternal,
                   ids::kFormatInternal,     ids::kFormatExternal,
                   ids::kFormatAll,          ids::kLowFormatInternal,
                   ids::kLowFormatExternal,  ids::kLowFormatAll,
                   ids::kDownloadFont,       ids::kEraseFont,
                   ids::kUploadFont,         ids::kViewFontInfo,
                   ids::kUpgradeApplication, ids::kUpgradeBoot,
                   ids::kRawDataInternal,    ids::kRawDataExternal,
                   ids::kEditCopy,           ids::kEditUndo})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(ids::kRefresh));
    EXPECT_TRUE(Enabled(ids::kViewRawData));
    // A button's idle update follows the same rule.
    gui::Pump(100);
    EXPECT_FALSE(View().FindWindow(ids::kDownloadToInternal)->IsEnabled());
    EXPECT_EQ(frame_->GetStatusBarPanes()->GetPaneText(ids::kFirmwarePane), "");
}

TEST_F(Songdock, PlugAndUnplugReachTheOpenWindow) {
    Start();
    Sim("plug");
    // The player's change notice arrives without any polling of the library.
    ASSERT_TRUE(
        gui::PumpUntil([this] { return Pane(0) && PaneList(0).GetItemCount() == 5; }, 2000));
    EXPECT_TRUE(View().GetMemFrame()->GetSplitter()->IsShown());
    EXPECT_THAT(Names(PaneList(0)), Contains("REC01.QKA"));
    // The player's recordings have a type name of their own.
    EXPECT_THAT(gui::ListRows(PaneList(0))[size_t(RowOf(PaneList(0), "REC01.QKA"))],
                Contains("KD5200 voice recording (QKA)"));
    EXPECT_TRUE(Enabled(ids::kFormatInternal));
    EXPECT_TRUE(Enabled(ids::kUpgradeApplication));
    frame_->GetStatusBarPanes()->UpdatePanes();
    EXPECT_THAT(frame_->GetStatusBarPanes()->GetPaneText(ids::kFirmwarePane).ToStdString(),
                testing::StartsWith("ZENTROVIA KD5200"));

    // Any other USB device coming or going: with the player still answering,
    // the panes stay as they are, selection included.
    ClickRow(PaneList(0), "README.TXT");
    wxQueueEvent(frame_, new wxCommandEvent(wxEVT_SD_DEVICE_CHANGE));
    gui::Pump(100);
    EXPECT_EQ(PaneList(0).GetItemCount(), 5);
    EXPECT_THAT(gui::SelectedRows(PaneList(0)), ElementsAre(RowOf(PaneList(0), "README.TXT")));

    Sim("unplug");
    ASSERT_TRUE(
        gui::PumpUntil([this] { return !View().GetMemFrame()->GetSplitter()->IsShown(); }, 2000));
    EXPECT_FALSE(Enabled(ids::kFormatInternal));
    EXPECT_FALSE(Enabled(ids::kUpgradeApplication));
    EXPECT_FALSE(Enabled(ids::kDownloadToInternal));
    // The memories of the last connect keep "All" enabled; it finds nothing to do.
    EXPECT_TRUE(Enabled(ids::kFormatAll));
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kFormatAll)));
    EXPECT_TRUE(boxes_.shown.empty());
}

// A player whose directory cannot be read is there but damaged: the person
// is told once, with the library's text, and the panes say so.
TEST_F(Songdock, ADamagedPlayerSaysSoOnce) {
    Sim("plug");
    for (const char* part : {"/player.db-wal", "/player.db-shm"})
        fs::remove(player_.path() + part);
    std::ofstream(player_.path() + "/player.db", std::ios::trunc) << std::string(8192, 'x');
    Start();
    ASSERT_TRUE(gui::PumpUntil([this] { return !boxes_.shown.empty(); }, 2000));
    EXPECT_THAT(boxes_.shown[0].text, testing::HasSubstr("The player's directory cannot be read"));
    ASSERT_TRUE(Pane(0) && Pane(1));
    EXPECT_EQ(Pane(0)->GetHeaderText(), " Internal Memory - Memory Cannot Be Read");
    EXPECT_EQ(Pane(1)->GetHeaderText(), " External Memory - Memory Cannot Be Read");

    wxQueueEvent(frame_, new wxCommandEvent(wxEVT_SD_DEVICE_CHANGE));
    gui::Pump(100);
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kRefresh)));
    gui::Pump(100);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(Pane(0)->GetHeaderText(), " Internal Memory - Memory Cannot Be Read");
}

// Upgrade Application Code from the menu on a damaged HEX file: the warning
// comes as a question before the player is touched, and Cancel writes nothing.
TEST_F(Songdock, UpgradeFromADamagedHexFileAsksFirst) {
    Sim("plug");
    Start();
    const std::string hex = work_.path() + "/bad.hex";
    std::ofstream(hex) << ":0120000001DF\n:00000001FF\n"; // the checksum is DE
    dialogs_.answers = {hex};
    boxes_.answers = {platform::kIdCancel};
    ASSERT_TRUE(Enabled(ids::kUpgradeApplication));
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kUpgradeApplication)));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    // Nothing is said to be written before the person agrees; Cancel is the
    // default answer.
    EXPECT_EQ(boxes_.shown[0].text,
              hex + ": line 1: checksum mismatch (1 record in all)\n\nWritten anyway, the "
                    "damaged records go to the player as they were read, which can leave it "
                    "unable to start.\nWrite the firmware anyway?");
    EXPECT_NE(boxes_.shown[0].style & platform::kMbDefaultButton2, 0u);
    EXPECT_NE(Sim("status").find("application image: none"), std::string::npos);
    EXPECT_TRUE(frame_->IsShown());

    // The real box: Return, which gives the default answer, writes nothing.
    const platform::MessageBoxHandler scripted = platform::SetMessageBoxHandler({});
    platform::InstallWxMessageBoxes();
    GtkWidget* question = nullptr;
    bool activated = false;
    wxTimer presser;
    presser.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next) {
            GtkWidget* widget = GTK_WIDGET(w->data);
            if (!GTK_IS_MESSAGE_DIALOG(widget) || !gtk_widget_get_mapped(widget)) continue;
            if (!question) {
                // What Return does in a box: it activates the default button.
                question = widget;
                activated = gtk_window_activate_default(GTK_WINDOW(widget));
            } else if (widget != question || !activated) {
                // Any other box (the one after a write) is closed.
                gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_CANCEL);
            }
        }
        g_list_free(windows);
    });
    presser.Start(200);
    dialogs_.answers = {hex};
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kUpgradeApplication)));
    presser.Stop();
    platform::SetMessageBoxHandler(scripted);
    EXPECT_TRUE(activated);
    EXPECT_NE(Sim("status").find("application image: none"), std::string::npos);
    EXPECT_TRUE(frame_->IsShown());
}

TEST_F(Songdock, ButtonsAndDragsMoveFilesBothWays) {
    Sim("plug");
    Start();
    // Button 143: the selected PC file to the internal memory.
    ClickRow(DesktopList(), "alpha.mp3");
    ClickButton(ids::kDownloadToInternal);
    EXPECT_TRUE(PlayerHas(0, "alpha.mp3"));
    EXPECT_THAT(Names(PaneList(0)), Contains("alpha.mp3"));

    // A drag of a PC file onto the external memory's pane. The steps run
    // from a timer, so that they also reach the drag's own loop.
    ClickRow(DesktopList(), "beta.mp3");
    const wxPoint from = gui::RowScreenPoint(DesktopList(), RowOf(DesktopList(), "beta.mp3"));
    const wxPoint to = gui::ScreenCenter(*Pane(1));
    gui::Script drag;
    drag.Then([=] { gui::MouseMove(from); }).Then([] { gui::MouseDown(); });
    for (int i = 1; i <= 4; ++i)
        drag.Then([=] { gui::MouseMove(from + wxPoint(4 * i, 2 * i)); });
    for (int i = 1; i <= 6; ++i)
        drag.Then([=] { gui::MouseMove(from + (to - from) * i / 6); });
    drag.Then([] { gui::MouseUp(); });
    ASSERT_TRUE(drag.Run(15000));
    ASSERT_TRUE(gui::PumpUntil([this] { return PlayerHas(1, "beta.mp3"); }, 3000));
    ASSERT_TRUE(gui::PumpUntil([this] { return RowOf(PaneList(1), "beta.mp3") >= 0; }));

    // Button 144: a recording back to the PC, converted to WAV, then the
    // same recording copied as it is.
    ClickRow(PaneList(0), "REC01.QKA");
    ClickButton(ids::kUploadFromInternal);
    EXPECT_TRUE(fs::exists(pc_ + "/REC01.WAV"));
    EXPECT_FALSE(fs::exists(pc_ + "/REC01.QKA"));
    EXPECT_THAT(gui::SelectedRows(DesktopList()), ElementsAre(RowOf(DesktopList(), "REC01.WAV")));

    settings::WriteAdpcmConvert(1);
    ClickRow(PaneList(0), "REC01.QKA");
    ClickButton(ids::kUploadFromInternal);
    EXPECT_TRUE(fs::exists(pc_ + "/REC01.QKA"));
}

// "Verify files after copying", ticked on the Option dialog, catches a bit
// the player flips in each direction: the message names the file, whose bad
// copy is gone. A copy that cannot be read back is named and removed too.
TEST_F(Songdock, VerifiedCopiesCatchABitThePlayerFlips) {
    Sim("plug");
    Start();
    gui::OnModal option([](wxDialog& dialog) {
        wxWindow* box = dialog.FindWindow(ids::kVerifyCopiesCheck);
        ASSERT_TRUE(box);
        gui::PumpUntil([box] { return box->IsShownOnScreen(); });
        gui::PumpUntil([&dialog] { return dialog.IsActive(); }, 3000);
        // Clicked again if a busy window manager let the click go by.
        for (int click = 0; click < 3 && !static_cast<wxCheckBox*>(box)->GetValue(); ++click) {
            gui::MouseMove(gui::ScreenCenter(*box));
            gui::MouseDown();
            gui::MouseUp();
            gui::PumpUntil([box] { return static_cast<wxCheckBox*>(box)->GetValue(); }, 2000);
        }
        gui::SendButton(dialog.FindWindow(ids::kIdOk), ids::kIdOk);
    });
    ASSERT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kOption)));
    ASSERT_TRUE(gui::PumpUntil([&] { return option.Answered(); }));
    ASSERT_TRUE(settings::GetVerifyCopies());

    setenv("KD5200_FAULTS", "flip:1", 1);
    ClickRow(DesktopList(), "alpha.mp3");
    ClickButton(ids::kDownloadToInternal);
    EXPECT_FALSE(PlayerHas(0, "alpha.mp3"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, text::kVerifyFailed);
    EXPECT_EQ(boxes_.shown[0].secondary, pc_ + "/alpha.mp3");
    // The removed copy is not counted as copied.
    EXPECT_EQ(frame_->GetStatusBar()->GetStatusText(0).utf8_string(), "0 of 1 files copied; failed");

    unsetenv("KD5200_FAULTS");
    ClickRow(PaneList(0), "README.TXT");
    ClickButton(ids::kUploadFromInternal); // verified: no fault, no message
    ASSERT_TRUE(fs::exists(pc_ + "/README.TXT"));
    fs::remove(pc_ + "/README.TXT");
    setenv("KD5200_FAULTS", "flip:1", 1);
    ClickRow(PaneList(0), "README.TXT");
    ClickButton(ids::kUploadFromInternal);
    unsetenv("KD5200_FAULTS");
    EXPECT_FALSE(fs::exists(pc_ + "/README.TXT"));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].secondary, pc_ + "/README.TXT");
    EXPECT_EQ(frame_->GetStatusBar()->GetStatusText(0).utf8_string(), "0 of 1 files copied; failed");

    // Two files copied, the second of which cannot be read back: the message
    // names it and says its copy was removed; the first one counts.
    StoreElsewhere("one.mp3");
    StoreElsewhere("two.mp3");
    gui::KeyPress(WXK_F5);
    ASSERT_TRUE(gui::PumpUntil([&] {
        const std::vector<std::string> names = Names(PaneList(0));
        return std::count(names.begin(), names.end(), "one.mp3") +
                   std::count(names.begin(), names.end(), "two.mp3") == 2;
    }));
    ClickRow(PaneList(0), "one.mp3");
    gui::KeyPress(WXK_DOWN, wxMOD_SHIFT);
    ASSERT_TRUE(gui::PumpUntil([&] { return gui::SelectedRows(PaneList(0)).size() == 2u; }));
    const std::string second = Names(PaneList(0))[size_t(gui::SelectedRows(PaneList(0))[1])];
    const std::string first = second == "one.mp3" ? "two.mp3" : "one.mp3";
    setenv("KD5200_FAULTS", "eio:4", 1); // copy, read-back, copy, read-back
    ClickButton(ids::kUploadFromInternal);
    unsetenv("KD5200_FAULTS");
    EXPECT_TRUE(fs::exists(pc_ + "/" + first));
    EXPECT_FALSE(fs::exists(pc_ + "/" + second));
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[2].text,
              std::string(text::kReadBackFailedRemoved));
    EXPECT_EQ(boxes_.shown[2].secondary, pc_ + "/" + second);
    EXPECT_EQ(frame_->GetStatusBar()->GetStatusText(0).utf8_string(), "1 of 2 files copied; failed");
}

TEST_F(Songdock, DeleteActsOnThePaneThatHasTheFocus) {
    Sim("plug");
    Start();
    ClickRow(PaneList(0), "README.TXT");
    boxes_.answers = {platform::kIdYes};
    gui::KeyPress(WXK_DELETE);
    gui::Pump(100);
    EXPECT_FALSE(PlayerHas(0, "README.TXT"));
    EXPECT_TRUE(fs::exists(pc_ + "/notes.txt"));

    ClickRow(DesktopList(), "notes.txt");
    boxes_.answers = {platform::kIdYes};
    gui::KeyPress(WXK_DELETE);
    gui::Pump(100);
    EXPECT_FALSE(fs::exists(pc_ + "/notes.txt"));
    EXPECT_EQ(playertest::Names(0).size(), 4u);
}

TEST_F(Songdock, KeysRefreshAndMoveBetweenPanes) {
    Sim("plug");
    Start();
    ClickRow(PaneList(0), "README.TXT");
    EXPECT_EQ(View().GetFocusedPane(), 0);
    gui::KeyPress(WXK_F6);
    gui::Pump(100);
    EXPECT_EQ(View().GetFocusedPane(), 1);
    gui::KeyPress(WXK_F6);
    gui::Pump(100);
    EXPECT_EQ(View().GetFocusedPane(), -1);
    gui::KeyPress(WXK_F6 | 0); // around again
    gui::Pump(100);
    EXPECT_EQ(View().GetFocusedPane(), 0);
    ClickRow(PaneList(0), "README.TXT");

    // A file stored by another program shows after F5, not before.
    StoreElsewhere("LATE.MP3");
    View().GetMemFrame()->UpdatePanes();
    EXPECT_EQ(RowOf(PaneList(0), "LATE.MP3"), -1);
    gui::KeyPress(WXK_F5);
    gui::Pump(100);
    EXPECT_GE(RowOf(PaneList(0), "LATE.MP3"), 0);
}

TEST_F(Songdock, FilterChangeRelistsBothSidesWithoutReadingThePlayer) {
    Sim("plug");
    Start();
    EXPECT_EQ(PaneList(0).GetItemCount(), 5);
    // Stored behind Songdock's back: only a re-read would show it.
    StoreElsewhere("LATE.MP3");
    HFilterCombo& combo = *frame_->GetFilterCombo();
    combo.SetSelection(0);
    wxCommandEvent select(wxEVT_CHOICE, combo.GetId());
    select.SetEventObject(&combo);
    select.SetInt(0);
    combo.GetEventHandler()->ProcessEvent(select);
    gui::Pump(50);
    EXPECT_EQ(settings::GetFileFilter(), "*.mp3");
    EXPECT_THAT(DesktopNames(), ElementsAre("Albums", "alpha.mp3", "beta.mp3"));
    EXPECT_EQ(PaneList(0).GetItemCount(), 5);
}

TEST_F(Songdock, NarrowWindowCollapsesThePanesAndGrowthIsShared) {
    Start();
    const wxRect left = View().GetLeftArea();
    const wxRect right = View().GetRightArea();
    EXPECT_LE(std::abs(left.width - right.width), 1);
    EXPECT_EQ(right.x - left.GetRight() - 1, CChildView::kGap);

    View().SetSize(wxSize(50, 300));
    EXPECT_EQ(View().GetLeftArea().width, 0);
    EXPECT_EQ(View().GetRightArea().width, 0);

    View().SetSize(wxSize(50 + 2 + 200, 300)); // the client area: the border takes 2
    const int client = View().GetClientSize().x;
    EXPECT_EQ(View().GetLeftArea().width, (client - CChildView::kGap) / 2);
    const int before = View().GetLeftArea().width;
    View().SetSize(wxSize(View().GetSize().x + 100, 300));
    EXPECT_EQ(View().GetLeftArea().width, before + 50);
    EXPECT_EQ(View().GetRightArea().GetRight() + 1, View().GetClientSize().x);
}

TEST_F(Songdock, WindowStateAndPlaceOutliveARestartAndStayOnScreen) {
    // First start: shown as created, wholly on the work area with its frame.
    Start();
    const wxRect area = wxDisplay(0u).GetClientArea();
    EXPECT_TRUE(area.Contains(frame_->GetRect()))
        << frame_->GetRect().x << "," << frame_->GetRect().y << " in " << area.width << "x"
        << area.height;
    EXPECT_FALSE(frame_->IsMaximized());
    // Moved and resized by the person, it comes back there.
    const wxRect moved(area.x + 40, area.y + 30, 720, 520);
    frame_->SetSize(moved);
    ASSERT_TRUE(gui::PumpUntil([&] { return frame_->GetRect() == moved; }, 3000));
    Stop();
    EXPECT_EQ(settings::GetWindowState(), 1);
    Start();
    EXPECT_TRUE(gui::PumpUntil([&] { return frame_->GetRect() == moved; }, 3000))
        << frame_->GetRect().x << "," << frame_->GetRect().y << " " << frame_->GetRect().width
        << "x" << frame_->GetRect().height;
    // Maximised when it was closed maximised.
    frame_->Maximize(true);
    ASSERT_TRUE(gui::PumpUntil([&] { return frame_->IsMaximized(); }, 3000));
    Stop();
    EXPECT_EQ(settings::GetWindowState(), 3);
    Start();
    EXPECT_TRUE(frame_->IsMaximized());
    Stop();
    // A place stored on a larger screen is pulled onto this one.
    settings::WriteWindowState(1);
    settings::WriteWindowPlace(
        {area.GetRight() - 200, area.GetBottom() - 100, 960, area.height + 300});
    Start();
    EXPECT_TRUE(gui::PumpUntil([&] { return area.Contains(frame_->GetRect()); }, 3000))
        << frame_->GetRect().x << "," << frame_->GetRect().y << " " << frame_->GetRect().width
        << "x" << frame_->GetRect().height;
}

// Whether a cell's text fits its column whole (the names beside their icon).
bool FitsWhole(HFileListCtrl& list, long row, int column) {
    const int room = list.GetColumnWidth(column) - (column == 0 ? 16 + 12 : 12);
    return list.GetTextExtent(list.GetRowText(row, column)).x <= room;
}

TEST_F(Songdock, FirstStartShowsWholeSizesAndDatesAndStoredWidthsStay) {
    Sim("plug");
    Start();
    ASSERT_TRUE(
        gui::PumpUntil([&] { return Pane(0) && RowOf(PaneList(0), "Demo Song.mp3") >= 0; }));
    HFileListCtrl& memory = PaneList(0);
    // Numbers and sizes show whole; the names take what the other columns
    // leave (the kinds give back only what the names at their least cannot),
    // without a horizontal scroll bar.
    for (int c = 1; c < memory.ColumnCount() - 1; ++c)
        for (long row = 0; row < memory.GetItemCount(); ++row) {
            EXPECT_TRUE(FitsWhole(memory, row, c)) << memory.GetRowText(row, c);
        }
    int total = 0;
    for (int c = 0; c < memory.ColumnCount(); ++c)
        total += memory.GetColumnWidth(c);
    EXPECT_LE(total, memory.GetClientSize().x);
    EXPECT_GT(total, memory.GetClientSize().x - 40);
    const long alpha = RowOf(DesktopList(), "alpha.mp3");
    EXPECT_TRUE(FitsWhole(DesktopList(), alpha, 0));
    EXPECT_TRUE(FitsWhole(DesktopList(), alpha, 3)) << DesktopList().GetRowText(alpha, 3);
    // The kinds of file show whole where the pane leaves room for the names
    // at the default width; else the names keep that width and the kinds
    // give back, while sizes and dates stay whole.
    const bool roomy = DesktopList().GetColumnWidth(0) > DesktopList().DefaultColumnWidth();
    for (long row = 0; row < DesktopList().GetItemCount(); ++row) {
        EXPECT_TRUE(FitsWhole(DesktopList(), row, 1)) << DesktopList().GetRowText(row, 1);
        EXPECT_TRUE(FitsWhole(DesktopList(), row, 3)) << DesktopList().GetRowText(row, 3);
        if (roomy) {
            EXPECT_TRUE(FitsWhole(DesktopList(), row, 2)) << DesktopList().GetRowText(row, 2);
        }
    }
    EXPECT_GE(DesktopList().GetColumnWidth(0), DesktopList().DefaultColumnWidth());
    Stop();

    // A width stored by hand is kept as it is.
    settings::WriteColumnWidth(-1, 0, 77);
    Start();
    EXPECT_EQ(DesktopList().GetColumnWidth(0), 77);
}

TEST_F(Songdock, FittedWidthsAreNeverStoredAndALongNameLeavesTheKindsWhole) {
    // One very long name among the PC files (in the place of another, so
    // that the folder holds as many files as the fixture waits for).
    const std::string longName = std::string(244, 'n') + ".mp3";
    fs::remove(pc_ + "/notes.txt");
    devtest::WriteFile(pc_ + "/" + longName, "x");
    Sim("plug");
    Start();
    ASSERT_TRUE(gui::PumpUntil([&] { return RowOf(DesktopList(), longName) >= 0; }));
    ASSERT_TRUE(gui::PumpUntil([&] { return Pane(0) && PaneList(0).GetItemCount() == 5; }));
    // The long name is the one cut: every kind of file reads whole.
    for (long row = 0; row < DesktopList().GetItemCount(); ++row)
        EXPECT_TRUE(FitsWhole(DesktopList(), row, 2)) << DesktopList().GetRowText(row, 2);

    // Up to the one-row list of drives, whose fitted widths are narrow.
    DesktopList().SetFocus();
    for (int i = 0; i < 40 && Desktop().GetTargetFolder(); ++i) {
        gui::KeyPress(WXK_BACK);
        gui::Pump(150);
    }
    ASSERT_FALSE(Desktop().GetTargetFolder()) << "the drive list was not reached";
    Stop();
    settings::SetCompanyKey("Zentrovia");
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(settings::GetColumnWidth(-1, c, 0), 0) << "column " << c << " was stored";
        EXPECT_EQ(settings::GetColumnWidth(0, c, 0), 0) << "memory column " << c << " was stored";
    }

    // The next start shows the PC folder's dates and kinds whole again.
    settings::SetLastDirectoryFrozen(false);
    settings::SetLastDirectory(pc_);
    settings::SaveLastDirectory();
    Start();
    const long alpha = RowOf(DesktopList(), "alpha.mp3");
    EXPECT_TRUE(FitsWhole(DesktopList(), alpha, 2)) << DesktopList().GetRowText(alpha, 2);
    EXPECT_TRUE(FitsWhole(DesktopList(), alpha, 3)) << DesktopList().GetRowText(alpha, 3);
}

// What the program writes on its standard error meanwhile: the toolkit's
// criticals and warnings go there, whichever way they are logged.
class StderrCapture {
public:
    StderrCapture() {
        fflush(stderr);
        file_ = std::tmpfile();
        saved_ = dup(2);
        if (file_) dup2(fileno(file_), 2);
    }
    ~StderrCapture() {
        Release();
        if (file_) std::fclose(file_);
    }
    // The lines written that tell of a toolkit fault.
    std::vector<std::string> Complaints() {
        Release();
        std::vector<std::string> lines;
        if (!file_) return lines;
        std::rewind(file_);
        char line[4096];
        while (std::fgets(line, sizeof line, file_)) {
            const std::string text(line);
            if (text.find("-CRITICAL") != std::string::npos ||
                text.find("-WARNING") != std::string::npos || text.find("*** BUG ***") == 0)
                lines.push_back(text);
        }
        return lines;
    }

private:
    void Release() {
        if (saved_ < 0) return;
        fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

TEST_F(Songdock, StartAndResizeAreQuietAndTheMemoryRowsShareTheHeight) {
    Sim("plug");
    StderrCapture output;
    Start();
    ASSERT_TRUE(gui::PumpUntil([&] { return Pane(0) && PaneList(0).GetItemCount() == 5; }));
    gui::Pump(200);
    // The two memories' rows are as high as each other from the start.
    EXPECT_NEAR(Pane(0)->GetSize().y, Pane(1)->GetSize().y, 1);
    EXPECT_THAT(output.Complaints(), testing::IsEmpty()) << "on start";
    // Narrow, small, tall and back again.
    for (const wxSize size : {wxSize(300, 200), wxSize(120, 90), wxSize(900, 700), wxSize(640, 480)}) {
        StderrCapture resized;
        frame_->SetSize(size);
        gui::Pump(150);
        EXPECT_THAT(resized.Complaints(), testing::IsEmpty()) << size.x << "x" << size.y;
    }
    StderrCapture toggled;
    // The tool bar hidden and shown again from the View menu.
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kViewToolBar)));
        gui::Pump(150);
    }
    EXPECT_THAT(toggled.Complaints(), testing::IsEmpty()) << "tool bar hidden and shown";
    EXPECT_NEAR(Pane(0)->GetSize().y, Pane(1)->GetSize().y, 1);
}

TEST_F(Songdock, ASlowSecondClickOnASelectedPlayerFileRenamesIt) {
    Sim("plug");
    Start();
    ASSERT_TRUE(gui::PumpUntil([&] { return Pane(0) && RowOf(PaneList(0), "README.TXT") >= 0; }));
    ClickRow(PaneList(0), "README.TXT");
    EXPECT_EQ(PaneList(0).GetEditControl(), nullptr);
    // The second click, on the row now selected.
    gui::MouseDown();
    gui::MouseUp();
    ASSERT_TRUE(gui::PumpUntil([&] { return PaneList(0).GetEditControl() != nullptr; }, 2000));
    wxUIActionSimulator sim;
    sim.Text("READ.TXT");
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([&] { return PlayerHas(0, "READ.TXT"); }));
    EXPECT_FALSE(PlayerHas(0, "README.TXT"));
}

TEST_F(Songdock, DownInANewPcListingGoesFromItsFirstRowToTheSecond) {
    for (const char* folder : {"d1", "d2", "d3", "d4"})
        fs::create_directories(pc_ + "/Albums/" + folder);
    // Made in an order other than the list's, as a folder's files often are.
    for (const char* name : {"f6.mp3", "f2.mp3", "f4.mp3", "f1.mp3", "f5.mp3", "f3.mp3"})
        devtest::WriteFile(pc_ + "/Albums/d4/" + name, "x");
    Start();
    const auto selected = [this] {
        const auto rows = DesktopList().GetSelectedRows();
        return rows.size() == 1 ? DesktopNames()[size_t(rows[0])] : std::string("(none)");
    };
    // The keyboard starts in the PC list, on its first row.
    gui::KeyPress(WXK_DOWN);
    EXPECT_TRUE(gui::PumpUntil([&] { return selected() == DesktopNames()[1]; }, 2000))
        << selected();
    ClickRow(DesktopList(), "Albums");
    gui::KeyPress(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([this] { return RowOf(DesktopList(), "d1") >= 0; }));
    gui::KeyPress(WXK_DOWN);
    EXPECT_TRUE(gui::PumpUntil([&] { return selected() == "d2"; }, 2000)) << selected();
    // From the fourth row into its folder: Down goes to that folder's second row.
    gui::KeyPress(WXK_DOWN);
    gui::KeyPress(WXK_DOWN);
    ASSERT_TRUE(gui::PumpUntil([&] { return selected() == "d4"; }, 2000)) << selected();
    gui::KeyPress(WXK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([this] { return RowOf(DesktopList(), "f1.mp3") >= 0; }));
    EXPECT_EQ(DesktopList().GetFocusedRow(), 0);
    gui::KeyPress(WXK_DOWN);
    EXPECT_TRUE(gui::PumpUntil([&] { return selected() == "f2.mp3"; }, 2000)) << selected();
}

TEST_F(Songdock, F2AfterAScrollRenamesTheClickedPlayerFile) {
    // A long list, so that the wheel leaves its rows at any offset.
    PutSongs(500);
    Sim("plug");
    Start();
    HFileListCtrl* list = nullptr;
    ASSERT_TRUE(gui::PumpUntil([&] {
        list = Pane(0) ? &PaneList(0) : nullptr;
        return list && list->GetItemCount() > 500;
    }, 10000));
    ClickRow(*list, "song1000.mp3");
    // Home, the wheel, a click on a row, F2, a new name and Return: the file
    // on the player has the new name, whatever the wheel left the rows at.
    for (int notches = 1; notches <= 4; ++notches) {
        SCOPED_TRACE(notches);
        gui::KeyPress(WXK_HOME);
        gui::MouseMove(gui::ScreenCenter(*list));
        gui::Pump(50);
        gui::MouseWheel(notches);
        gui::Pump(300);
        const long row = list->GetTopRow() + 3;
        const std::string old = gui::ListRows(*list)[size_t(row)][0];
        ClickRow(*list, old);
        gui::KeyPress(WXK_F2);
        ASSERT_TRUE(gui::PumpUntil([&] { return list->GetEditControl() != nullptr; }, 2000));
        gui::Pump(300); // the toolkit brings the row into view meanwhile
        ASSERT_NE(list->GetEditControl(), nullptr) << "the field closed by itself";
        wxUIActionSimulator sim;
        const std::string renamed = "renamed" + std::to_string(notches) + ".mp3";
        sim.Text(renamed.c_str());
        sim.Char(WXK_RETURN);
        ASSERT_TRUE(gui::PumpUntil([&] { return PlayerHas(0, renamed); }, 5000)) << old;
        EXPECT_FALSE(PlayerHas(0, old));
        ASSERT_TRUE(gui::PumpUntil([&] { return RowOf(*list, renamed) >= 0; }, 5000));
    }
}

wxDialog* OpenDialog() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(w); dialog && dialog->IsModal()) return dialog;
    return nullptr;
}

// Gives a dialog the keyboard as a person's click would.
void FocusDialog(wxDialog* dialog) {
    if (!dialog) return;
    dialog->Raise();
    for (wxWindow* child : dialog->GetChildren())
        if (child->CanAcceptFocus()) {
            child->SetFocus();
            break;
        }
}

void Click(wxWindow* window) {
    gui::MouseMove(gui::ScreenCenter(*window));
    gui::MouseDown();
    gui::MouseUp();
}

TEST_F(Songdock, F5KeepsTheRowsInViewAndTheSelectionOfBothLists) {
    // Long lists on both sides, so that the rows in view are a middle part.
    PutSongs(300);
    Sim("plug");
    Start();
    for (int i = 0; i < 300; ++i)
        devtest::WriteFile(pc_ + "/song" + std::to_string(1000 + i) + ".mp3", "x");
    ClickRow(DesktopList(), "alpha.mp3");
    gui::KeyPress(WXK_F5);
    for (HFileListCtrl* list : {&DesktopList(), &PaneList(0)}) {
        ASSERT_TRUE(gui::PumpUntil([&] { return list->GetItemCount() > 300; }, 10000));
        SCOPED_TRACE(list == &DesktopList() ? "PC" : "player");
        // The wheel, a click on a row in the middle of the view, F5.
        gui::MouseMove(gui::ScreenCenter(*list));
        gui::Pump(50);
        gui::MouseWheel(5);
        gui::Pump(300);
        ASSERT_GT(list->GetTopRow(), 0);
        const std::string clicked = gui::ListRows(*list)[size_t(list->GetTopRow() + 4)][0];
        ClickRow(*list, clicked);
        gui::Pump(300);
        const long row = RowOf(*list, clicked);
        const wxRect before = list->GetRowRect(row);
        ASSERT_GT(before.y, 2 * before.height);
        gui::KeyPress(WXK_F5);
        gui::Pump(800);
        // The same rows in view (a row scrolled partly out of sight may come
        // back whole), the same one selected and current.
        EXPECT_LT(std::abs(list->GetRowRect(row).y - before.y), before.height);
        EXPECT_EQ(list->GetSelectedRows(), std::vector<long>{row});
        EXPECT_EQ(list->GetFocusedRow(), row);
        EXPECT_EQ(gui::ListRows(*list)[size_t(row)][0], clicked);
    }
}

TEST_F(Songdock, At800x600TheMemoryHeadersKeepTheFileCountAndDatesTheirTime) {
    Sim("plug");
    // The window as it opens on an 800x600 screen.
    settings::SetCompanyKey("Zentrovia");
    settings::WriteWindowPlace({0, 0, 800, 600});
    Start();
    ASSERT_TRUE(gui::PumpUntil([&] { return frame_->GetSize() == wxSize(800, 600); }, 3000));
    gui::Pump(200);
    for (int i = 0; i < 2; ++i) {
        const std::string header = Pane(i)->GetHeaderText();
        EXPECT_THAT(header, testing::HasSubstr(i == 0 ? "5 File(s)" : "0 File(s)"));
        int width = 0;
        const wxFont bold = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold();
        Pane(i)->GetTextExtent(wxString::FromUTF8(header), &width, nullptr, nullptr, nullptr,
                               &bold);
        EXPECT_LE(width, Pane(i)->GetClientSize().x) << header;
    }
    // The PC list's sizes and dates show whole, within the list's width (no
    // sideways scroll): the names give way, down to their title. (The kinds
    // give back what the names then cannot.)
    HFileListCtrl& list = DesktopList();
    int total = 0;
    for (int c = 0; c < list.ColumnCount(); ++c) {
        total += list.GetColumnWidth(c);
        for (long row = 0; (c == 1 || c == 3) && row < list.GetItemCount(); ++row) {
            EXPECT_TRUE(FitsWhole(list, row, c)) << list.GetRowText(row, c);
        }
    }
    EXPECT_LE(total, list.GetClientSize().x);
}

TEST_F(Songdock, F1OpensTheHelpAtItsPageAndLeavesEveryDialogAndCommandWorking) {
    Sim("plug");
    Start();
    // F1 in the PC list: the panes' page, in Songdock's own help window.
    ClickRow(DesktopList(), "alpha.mp3");
    gui::KeyPress(WXK_F1);
    ASSERT_TRUE(gui::PumpUntil([] { return platform::HelpBookWindow() != nullptr; }, 3000));
    EXPECT_TRUE(gui::PumpUntil([] { return platform::HelpBookPage() == "panes.html"; }, 3000))
        << platform::HelpBookPage();
    EXPECT_TRUE(platform::HelpBookWindow()->IsShown());
    // A font on the player, for its information dialog.
    devtest::WriteFile(work_.path() + "/small.fot", std::string(1000, 'f'));
    dialogs_.answers = {work_.path() + "/small.fot"};
    ASSERT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kDownloadFont)));

    // Each dialog with F1, the help asked while the help of the main window
    // or of the dialog before is open; the two windows closed in either
    // order, the dialog by its own keys and buttons.
    struct Case {
        int command;
        std::string page;
        bool helpClosedFirst;
        int button; // clicked to close the dialog; 0: Escape
    };
    // Properties opens its own part of the panes' page, not the page's top.
    for (const Case& c : {Case{ids::kViewFontInfo, "font.html", true, ids::kIdCancel},
                          Case{ids::kOption, "configuration.html", false, 0},
                          Case{ids::kProperties, "panes.html#properties", false, wxID_OK},
                          Case{ids::kOption, "configuration.html", true, 0},
                          Case{ids::kProperties, "panes.html#properties", true, wxID_CANCEL},
                          Case{ids::kAppAbout, "index.html", false, wxID_OK}}) {
        SCOPED_TRACE(c.page);
        // The PC list has the keyboard again, as the commands need.
        ClickRow(DesktopList(), "alpha.mp3");
        std::string page;
        bool helpWhileOpen = false, stuck = false;
        gui::Script script(250);
        script.Then([] { FocusDialog(OpenDialog()); }).Then([] { gui::KeyPress(WXK_F1); });
        // The help window loads its page in a moment.
        for (int wait = 0; wait < 6; ++wait)
            script.Then([&] {
                if (page.empty()) page = platform::HelpBookPage();
            });
        script
            .Then([&] {
                helpWhileOpen = platform::HelpBookWindow() && platform::HelpBookWindow()->IsShown();
                if (c.helpClosedFirst && platform::HelpBookWindow())
                    platform::HelpBookWindow()->Close();
            })
            .Then([&] { FocusDialog(OpenDialog()); });
        // A person clicks the dialog once it is in front of the help; on a
        // busy machine the window manager takes a moment to bring it there.
        bool closed = false;
        for (int wait = 0; wait < 8; ++wait)
            script.Then([&] {
                wxDialog* open = OpenDialog();
                if (closed || !open) return;
                if (!open->IsActive()) {
                    FocusDialog(open);
                    return;
                }
                closed = true;
                if (c.button)
                    Click(open->FindWindow(c.button));
                else
                    gui::KeyPress(WXK_ESCAPE);
            });
        script
            .Then([&] {
                // The dialog must have ended by now; if not, end it so that
                // the test goes on.
                if (wxDialog* open = OpenDialog()) {
                    stuck = true;
                    open->EndModal(wxID_CANCEL);
                }
            });
        // A dialog may open after its command, in a loop of its own: the
        // steps start once it is up.
        gui::OnModal shown([&](wxDialog&) { script.Start(); });
        ASSERT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(c.command)));
        EXPECT_TRUE(gui::PumpUntil([&] { return script.Done(); }, 10000));
        EXPECT_FALSE(stuck);
        EXPECT_EQ(page, c.page);
        EXPECT_TRUE(helpWhileOpen);
        // The help goes with the dialog it was asked from.
        EXPECT_TRUE(gui::PumpUntil([] { return !platform::HelpBookWindow(); }, 2000));
    }
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.front().text;

    // Every command still works: a dialog opens and closes, F1 opens the
    // help, and Exit ends the program with the help open.
    gui::OnModal option([](wxDialog& dialog) { dialog.EndModal(wxID_CANCEL); });
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kOption)));
    EXPECT_TRUE(gui::PumpUntil([&] { return option.Answered(); }, 3000));
    ClickRow(DesktopList(), "alpha.mp3");
    gui::KeyPress(WXK_F1);
    ASSERT_TRUE(gui::PumpUntil([] { return platform::HelpBookWindow() != nullptr; }, 3000));
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kAppExit)));
    EXPECT_TRUE(gui::PumpUntil([this] { return !wxTopLevelWindows.Find(frame_); }));
    frame_ = nullptr;
    app::FinishSongdock();
}

TEST_F(Songdock, AboutBoxShowsTheVersionAndItsButton) {
    Start();
    wxString caption, title;
    gui::Script script;
    script.Then([&] {
        auto* about = dynamic_cast<wxDialog*>(wxWindow::FindWindowById(ids::kAboutDialog));
        ASSERT_TRUE(about);
        title = about->GetTitle();
        caption = about->FindWindow(wxID_OK)->GetLabel();
        about->EndModal(wxID_OK);
    });
    script.Start();
    EXPECT_TRUE(gui::ChooseFromMenuBar(frame_, controls::MenuItemId(ids::kAppAbout)));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(title, "Songdock");
    EXPECT_EQ(caption.ToStdString(wxConvUTF8), "확인");
}

} // namespace
