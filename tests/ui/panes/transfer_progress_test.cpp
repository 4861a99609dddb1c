// The progress dialog of a long device call on the virtual player, slowed
// down with KD5200_SPEED: Cancel pressed on the dialog stops the transfer.
#include "ui/panes/transfer_progress.h"
#include "lib/lists/name_list.h"
#include "player_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/utils.h>
#include <wx/progdlg.h>

#include <chrono>
#include <string>

namespace {

class TransferProgressTest : public playertest::PlayerTest {};

TEST_F(TransferProgressTest, CancelStopsASlowTransferAndRestoresTheHandler) {
    Connect();
    const std::string song(2 * 1024 * 1024, 's');
    devtest::WriteFile(work_ / "song.mp3", song);
    HNameList files;
    files.Add((work_ / "song.mp3").c_str(), 0, 0);
    setenv("KD5200_SPEED", "500000", 1); // about four seconds for the file

    bool previousCalled = false;
    DevSetProgressHandler([&](KD5200_HWND, const char*, device::ProgressPhase, int64_t, int64_t) {
        previousCalled = true;
        return false;
    });

    // Presses Cancel with the pointer once the dialog is on screen.
    app::TransferProgress* shown = nullptr;
    bool pressed = false;
    gui::Script script(100);
    for (int i = 0; i < 30; ++i)
        script.Then([&] {
            wxProgressDialog* dialog = shown ? shown->Dialog() : nullptr;
            if (pressed || !dialog || !dialog->IsShownOnScreen()) return;
            auto* cancel = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_CANCEL));
            ASSERT_NE(cancel, nullptr);
            gui::MouseMove(gui::ScreenCenter(*cancel));
            gui::MouseDown();
            gui::MouseUp();
            pressed = true;
        });

    const auto start = std::chrono::steady_clock::now();
    int result = -1;
    bool cancelled = false;
    {
        app::TransferProgress progress(nullptr, "Download");
        shown = &progress;
        script.Start();
        result = DevDownloadFiles(nullptr, 0, files);
        cancelled = progress.Cancelled();
        shown = nullptr;
    }
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_TRUE(pressed);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(result, 14);
    EXPECT_LT(took, std::chrono::milliseconds(3500));
    EXPECT_TRUE(boxes_.shown.empty()); // code 14 is never shown
    EXPECT_EQ(DevGetFileCount(0), 0);

    // The handler installed before is back.
    unsetenv("KD5200_SPEED");
    devtest::WriteFile(work_ / "small.mp3", "x");
    HNameList small;
    small.Add((work_ / "small.mp3").c_str(), 0, 0);
    EXPECT_EQ(DevDownloadFiles(nullptr, 0, small), 0);
    EXPECT_TRUE(previousCalled);
}

} // namespace
