#pragma once
// The maintenance commands on the virtual player: a frame with Songdock's
// menu bar whose panel stands for the client view, with MaintenanceCommands
// pushed onto it; tests choose the commands from the menu bar.
#include "views/maint/maintenance_commands.h"
#include "base/platform/launcher.h"
#include "player_fixture.h"
#include "base/resources/menus.h"
#include "tests/support/gui_harness/gui_harness.h"
#include "ui/controls/menu_builder.h"

#include <wx/frame.h>
#include <wx/menu.h>
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
        // The frame hands its menu commands to the view, as the main window does.
        frame_->SetMenuBar(controls::BuildMenuBar(menus::MainMenu()).release());
        auto toView = [this](auto& e) {
            if (!view_->GetEventHandler()->ProcessEventLocally(e)) e.Skip();
        };
        frame_->Bind(wxEVT_MENU, toView);
        frame_->Bind(wxEVT_UPDATE_UI, toView);
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

    // Chooses a command from the menu bar; false when it is disabled.
    bool Command(int id) { return gui::ChooseFromMenuBar(frame_, controls::MenuItemId(id)); }
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
