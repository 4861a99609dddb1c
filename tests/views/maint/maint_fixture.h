#pragma once
// The maintenance commands on the virtual player: a frame whose panel stands
// for the client view, with MaintenanceCommands pushed onto it, so that tests
// send the commands as the menu would.
#include "views/maint/maintenance_commands.h"
#include "base/platform/launcher.h"
#include "player_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"

#include <wx/frame.h>
#include <wx/panel.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace mainttest {

class MaintTest : public playertest::PlayerTest {
protected:
    void SetUp() override {
        playertest::PlayerTest::SetUp();
        setenv("TMPDIR", temp_.path().c_str(), 1);
        auto launcher = std::make_unique<platform::RecordingLauncher>();
        launcher_ = launcher.get();
        oldLauncher_ = platform::SetLauncher(std::move(launcher));

        frame_ = new wxFrame(nullptr, wxID_ANY, "Songdock");
        view_ = new wxPanel(frame_);
        MaintenanceCommands::Hooks hooks;
        hooks.updatePanes = [this] { ++paneUpdates_; };
        hooks.targetFolder = [this] { return targetFolder_; };
        hooks.relistDesktop = [this] { ++desktopRelists_; };
        hooks.closeProgram = [this] { ++closes_; };
        view_->PushEventHandler(new MaintenanceCommands(view_, std::move(hooks)));
        gui::ShowAndWait(frame_);
    }
    void TearDown() override {
        delete view_->PopEventHandler();
        frame_->Destroy();
        gui::Pump();
        platform::SetLauncher(std::move(oldLauncher_));
        unsetenv("TMPDIR");
        playertest::PlayerTest::TearDown();
    }

    // Sends a command to the view as its menu would; true when handled.
    bool Command(int id) { return gui::SendCommand(view_, id); }
    bool Enabled(int id) { return gui::RunUpdateUI(view_, id).enabled; }
    // Files left in the temporary folder.
    size_t TempFiles() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(temp_.path()))
            ++n;
        return n;
    }

    devtest::TempDir temp_;
    wxFrame* frame_ = nullptr;
    wxPanel* view_ = nullptr;
    platform::RecordingLauncher* launcher_ = nullptr;
    std::unique_ptr<platform::Launcher> oldLauncher_;
    std::optional<std::string> targetFolder_;
    int paneUpdates_ = 0;
    int desktopRelists_ = 0;
    int closes_ = 0;
};

} // namespace mainttest
