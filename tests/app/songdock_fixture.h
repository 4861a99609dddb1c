#pragma once
// Songdock as the program starts it, on the virtual player: the PC side in a
// folder of the test's own, message boxes and file dialogs answered by the
// test, and the ways a person reaches a command (menu bar, context menus).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <wx/menu.h>
#include <wx/uiaction.h>

#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/startup.h"
#include "base/resources/ids.h"
#include "player_fixture.h"
#include "player_steps.h"
#include "tests/support/gui_harness/gui_harness.h"
#include "ui/controls/menu_builder.h"
#include "views/desktop/desktop_view.h"
#include "views/player/memory_pane.h"

namespace songdocktest {

namespace fs = std::filesystem;

class Songdock : public playertest::PlayerHome {
protected:
    void SetUp() override {
        PlayerHome::SetUp();
        Sim("create --demo");
        // The PC side starts in a folder of the test's own.
        pc_ = work_.path() + "/pc";
        fs::create_directories(pc_ + "/Albums");
        for (const char* name : {"alpha.mp3", "beta.mp3", "notes.txt"})
            devtest::WriteFile(pc_ + "/" + name, std::string(3000, 'x'));
        fs::create_directories(config_.path() + "/Zentrovia");
        std::ofstream(config_.path() + "/Zentrovia/Songdock.conf")
            << "[Desktop]\nLastDirectory=" << pc_ << "\n";
    }
    void TearDown() override {
        if (frame_) Stop();
        PlayerHome::TearDown();
    }

    void Start() {
        frame_ = app::StartSongdock();
        gui::ShowAndWait(frame_);
        ASSERT_TRUE(gui::PumpUntil([this] { return DesktopNames().size() == 4; }));
    }
    // Closes the window and exits as the program does.
    void Stop() {
        frame_->Close(true);
        gui::Pump(50);
        frame_ = nullptr;
        app::FinishSongdock();
    }

    CChildView& View() { return *frame_->GetClientView(); }
    HDesktopView& Desktop() { return *View().GetDesktopView(); }
    HMp3MemView* Pane(int i) { return View().GetMemFrame()->GetPane(i); }
    HFileListCtrl& DesktopList() { return *Desktop().GetList(); }
    HFileListCtrl& PaneList(int i) { return *Pane(i)->GetList(); }
    bool Enabled(int id) { return frame_->IsCommandEnabled(id); }

    static std::vector<std::string> Names(HFileListCtrl& list) {
        std::vector<std::string> names;
        for (const auto& row : gui::ListRows(list))
            names.push_back(row[0]);
        return names;
    }
    std::vector<std::string> DesktopNames() { return Names(DesktopList()); }
    long RowOf(HFileListCtrl& list, const std::string& name) {
        const auto names = Names(list);
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : static_cast<long>(it - names.begin());
    }
    // Clicks a row, so that it alone is selected and its list has the focus.
    // A row that already is so is left alone, as a person would: a click on
    // it would start renaming it.
    // Clicks the row, and again, as a person would, when a listing renewed
    // under the pointer let the click land elsewhere.
    void ClickRow(HFileListCtrl& list, const std::string& name) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const long row = RowOf(list, name);
            ASSERT_GE(row, 0) << name;
            const wxWindow* focus = wxWindow::FindFocus();
            if (list.GetSelectedRows() == std::vector<long>{row} && focus &&
                (focus == &list || focus->GetParent() == &list))
                return;
            gui::MouseMove(gui::RowScreenPoint(list, row));
            gui::MouseDown();
            gui::MouseUp();
            gui::Pump(100);
            // Apart from the next click by more than a double-click's time.
            gui::Pump(500);
        }
    }
    void ClickButton(int id) {
        wxWindow* button = View().FindWindow(id);
        ASSERT_TRUE(button);
        gui::MouseMove(gui::ScreenCenter(*button));
        gui::MouseDown();
        gui::MouseUp();
        gui::Pump(100);
    }
    // Stores a file on the internal memory from another program.
    void StoreElsewhere(const std::string& name) {
        devtest::WriteFile(work_.path() + "/" + name, "late");
        Sim("put internal " + work_.path() + "/" + name);
    }
    // Puts count files, song1000.mp3 on, on the internal memory.
    void PutSongs(int count) {
        std::string names;
        for (int i = 0; i < count; ++i) {
            const std::string name = "song" + std::to_string(1000 + i) + ".mp3";
            devtest::WriteFile(work_.path() + "/" + name, "x");
            names += " " + work_.path() + "/" + name;
        }
        Sim("put internal" + names);
    }
    bool PlayerHas(int memory, const std::string& name) {
        const auto names = playertest::Names(memory);
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    std::string pc_;
    CMainFrame* frame_ = nullptr;
};

} // namespace songdocktest
