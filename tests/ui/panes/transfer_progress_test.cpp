// The progress dialog of a long device call on the virtual player, slowed
// down with KD5200_SPEED: Cancel pressed on the dialog stops the transfer; the
// call runs off the window thread, and what it asks of the window is
// answered on the window thread.
#include "ui/panes/transfer_progress.h"
#include "lib/device/device_progress.h"
#include "lib/lists/name_list.h"
#include "player_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"
#include "views/player/copy_options.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/utils.h>
#include <wx/progdlg.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <optional>
#include <thread>

namespace {

class TransferProgressTest : public playertest::PlayerTest {};

TEST_F(TransferProgressTest, CancelStopsASlowTransferAndRestoresTheHandler) {
    Connect();
    const std::string song(4 * 1024 * 1024, 's');
    devtest::WriteFile(work_ / "song.mp3", song);
    HNameList files;
    files.Add((work_ / "song.mp3").c_str(), 0, 0);
    setenv("KD5200_SPEED", "500000", 1); // about eight seconds for the file

    bool previousCalled = false;
    DevSetProgressHandler([&](KD5200_HWND, const char*, device::ProgressPhase, int64_t, int64_t) {
        previousCalled = true;
        return false;
    });

    // Presses Cancel with the pointer once the dialog is on screen.
    app::TransferProgress* shown = nullptr;
    bool pressed = false;
    std::chrono::steady_clock::time_point pressedAt;
    // Up to six seconds for the dialog to come, on a busy machine too.
    gui::Script script(100);
    for (int i = 0; i < 60; ++i)
        script.Then([&] {
            wxGenericProgressDialog* dialog = shown ? shown->Dialog() : nullptr;
            // Pressed once the dialog is in front; pressed again if a busy
            // window manager let the first press go by.
            if (!dialog || !dialog->IsShownOnScreen() || !dialog->IsActive()) return;
            if (pressed && (shown->Cancelled() ||
                            std::chrono::steady_clock::now() - pressedAt < std::chrono::milliseconds(1500)))
                return;
            auto* cancel = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_CANCEL));
            ASSERT_NE(cancel, nullptr);
            gui::MouseMove(gui::ScreenCenter(*cancel));
            gui::MouseDown();
            gui::MouseUp();
            pressed = true;
            pressedAt = std::chrono::steady_clock::now();
        });

    int result = -1;
    bool cancelled = false;
    {
        app::TransferProgress progress(nullptr, "Download");
        shown = &progress;
        script.Start();
        result = progress.Run(
            [&] { return DevDownloadFiles(nullptr, 0, files, player::CopyOptions()).code; });
        cancelled = progress.Cancelled();
        shown = nullptr;
    }
    // The transfer stops at the next chunk (1 MiB, two seconds at this speed).
    const auto took = std::chrono::steady_clock::now() - pressedAt;

    EXPECT_TRUE(pressed);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(result, 14);
    EXPECT_LT(took, std::chrono::milliseconds(4000));
    EXPECT_TRUE(boxes_.shown.empty()); // code 14 is never shown
    EXPECT_EQ(DevGetFileCount(0), 0);

    // The handler installed before is back.
    unsetenv("KD5200_SPEED");
    devtest::WriteFile(work_ / "small.mp3", "x");
    HNameList small;
    small.Add((work_ / "small.mp3").c_str(), 0, 0);
    EXPECT_EQ(DevDownloadFiles(nullptr, 0, small, player::CopyOptions()).code, 0);
    EXPECT_TRUE(previousCalled);
}

TEST_F(TransferProgressTest, RunAnswersTheCallsReportsAndQuestionsOnTheWindowThread) {
    Connect();
    devtest::WriteFile(work_ / "song.mp3", std::string(300 * 1024, 's'));
    HNameList files;
    files.Add((work_ / "song.mp3").c_str(), 0, 0);
    files.Add((work_ / "missing.mp3").c_str(), 0, 0); // its error is shown in a box
    setenv("KD5200_SPEED", "1000000", 1);

    const std::thread::id window = std::this_thread::get_id();
    int reports = 0, reportsElsewhere = 0;
    std::thread::id asked;
    boxes_.whileOpen = [&] { asked = std::this_thread::get_id(); };

    int result = -1;
    std::thread::id called;
    {
        app::TransferProgress progress(nullptr, "Download");
        // Reports pass through a handler of the caller's on their way to the dialog.
        std::optional<device::ProgressGuard> caller;
        caller.emplace([&](KD5200_HWND parent, const char* what, device::ProgressPhase phase,
                           int64_t done, int64_t total) {
            ++reports;
            if (std::this_thread::get_id() != window) ++reportsElsewhere;
            return caller->Outer(parent, what, phase, done, total);
        });
        result = progress.Run([&] {
            called = std::this_thread::get_id();
            return DevDownloadFiles(nullptr, 0, files, player::CopyOptions()).code;
        });
        caller.reset();
    }
    unsetenv("KD5200_SPEED");

    EXPECT_NE(called, window);
    EXPECT_EQ(result, KD5200_ERR_FILE_NOT_FOUND);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(asked, window);
    EXPECT_GT(reports, 0);
    EXPECT_EQ(reportsElsewhere, 0);
    EXPECT_EQ(DevGetFileCount(0), 1); // the first file, copied before the failure

    // A call that throws hands its exception to the window thread.
    app::TransferProgress progress(nullptr, "Download");
    EXPECT_THROW(progress.Run([]() -> int { throw std::runtime_error("lost"); }),
                 std::runtime_error);
}

TEST_F(TransferProgressTest, ADialogOpenedDuringTheCallMayOutliveItAndRunReturnsWhenItCloses) {
    Connect();
    devtest::WriteFile(work_ / "song.mp3", std::string(1024 * 1024, 's'));
    HNameList files;
    files.Add((work_ / "song.mp3").c_str(), 0, 0);
    setenv("KD5200_SPEED", "2000000", 1); // half a second

    // Once the progress dialog is up, a window of the program's own opens a
    // modal dialog, which stays open until a while after the call returned.
    using Clock = std::chrono::steady_clock;
    std::atomic<bool> returned{false};
    bool opened = false;
    Clock::time_point closedAt;
    app::TransferProgress* shown = nullptr;
    wxTimer opener;
    opener.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        // Not from inside the dialog's own update, which holds the call.
        wxEventLoopBase* active = wxEventLoopBase::GetActive();
        if (opened || !shown || !shown->Dialog() || !active || active->IsYielding()) return;
        opened = true;
        opener.Stop();
        wxDialog other(nullptr, wxID_ANY, "Other");
        Clock::time_point seen;
        wxTimer closer;
        closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (!returned) return;
            if (seen == Clock::time_point()) seen = Clock::now();
            if (Clock::now() - seen > std::chrono::milliseconds(300)) other.EndModal(wxID_OK);
        });
        closer.Start(20);
        other.ShowModal();
        closedAt = Clock::now();
    });
    opener.Start(20);

    int result = -1;
    {
        app::TransferProgress progress(nullptr, "Download",
                                       app::TransferProgress::CancelRule::kAllowed, 0);
        shown = &progress;
        result = progress.Run([&] {
            const int code = DevDownloadFiles(nullptr, 0, files, player::CopyOptions()).code;
            returned = true;
            return code;
        });
        shown = nullptr;
    }
    const Clock::time_point ended = Clock::now();
    unsetenv("KD5200_SPEED");

    ASSERT_TRUE(opened);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(DevGetFileCount(0), 1);
    // Run waited for the dialog, and ended as soon as it closed.
    EXPECT_GE(ended, closedAt);
    EXPECT_LT(ended - closedAt, std::chrono::milliseconds(1000));
}

} // namespace
