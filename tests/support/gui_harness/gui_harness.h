#pragma once
// Helpers for window tests. Tests run on the one GUI thread of the wxApp
// that the harness's main() creates; nothing here may be called before.
//
// A window test lists the harness first among its libraries, so that the
// harness's main() is used instead of GoogleTest's:
//   sd_add_test(view_test SOURCES view_test.cpp LIBS sd_gui_harness sd_app LABELS gui)
// and runs on an X display (scripts/test.sh runs CTest under xvfb-run).
// Toolkit assertions count as test failures. Windows a test creates should
// be destroyed in the test (Destroy(), then Pump()).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxEvtHandler;
class wxDialog;
class wxFrame;
class HFileListCtrl;
class wxWindow;

namespace gui {

// Processes pending events, timers and idle handlers for about ms
// milliseconds (at least one pass).
void Pump(int ms = 0);
// Processes events until pred() holds or timeoutMs passes; returns pred().
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

// Shows a top-level window, raises it and waits until it is on screen and
// laid out.
void ShowAndWait(wxWindow* top);

// Chooses a menu bar item by its item id the way the menu bar delivers a
// click: the menu's update handlers run as when it opens, and a disabled
// item cannot be chosen (false). True when the command was sent.
bool ChooseFromMenuBar(wxFrame* frame, int itemId);
// Right-clicks at a screen point and, once the context menu is up, presses
// Down to reach the item (the menu passes over disabled items) and Return,
// all through the X server. False, with the menu closed by Escape, when the
// item is not in the menu or is disabled.
bool ChooseFromContextMenu(wxWindow* owner, const wxPoint& screen, int itemId);
// A key with modifiers (wxMOD_*), through the X server.
void KeyPress(int keycode, int modifiers);

// Sends a button command (wxEVT_BUTTON) with the given id from window.
bool SendButton(wxWindow* window, int id);

// What an update handler decided for a command id.
struct UpdateState {
    bool processed = false;
    bool setEnabled = false;
    bool enabled = true;
    bool setChecked = false;
    bool checked = false;
    bool setText = false;
    wxString text;
};
// Runs the update handlers reachable from window for the command id.
UpdateState RunUpdateUI(wxWindow* window, int id);

// The texts of every row of a report list, column by column.
std::vector<std::vector<std::string>> ListRows(const HFileListCtrl& list);
// The selected rows in order.
std::vector<long> SelectedRows(const HFileListCtrl& list);
// The screen point at the middle of a row's label.
wxPoint RowScreenPoint(const HFileListCtrl& list, long row);
// The screen point at the middle of a window.
wxPoint ScreenCenter(const wxWindow& window);

// Runs a series of steps one after another from a timer, so that they run
// inside whatever event loop is active at the time (also a modal loop that
// an earlier step started). Each step runs about intervalMs after the one
// before it ended.
class Script {
public:
    explicit Script(int intervalMs = 40);
    ~Script();
    Script& Then(std::function<void()> step);
    // Starts the steps; returns at once.
    void Start();
    bool Done() const;
    // Starts the steps and pumps until they have all run (or timeoutMs).
    bool Run(int timeoutMs = 10000);

private:
    struct Impl;
    Impl* impl_;
};

// Watches, from a timer that also runs inside other event loops, for a modal
// dialog of the program and hands it once to answer, which should end it.
class OnModal {
public:
    explicit OnModal(std::function<void(wxDialog&)> answer);
    ~OnModal();
    OnModal(const OnModal&) = delete;
    OnModal& operator=(const OnModal&) = delete;
    bool Answered() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Mouse input through the X server (wxUIActionSimulator), in screen
// coordinates.
void MouseMove(const wxPoint& screen);
void MouseDown(int button = 1);
void MouseUp(int button = 1);
void KeyPress(int keycode);
// Turns the mouse wheel by notches at the pointer: down (towards later rows)
// when positive, up when negative.
void MouseWheel(int notches);
// The name of the cursor the X server shows now ("" when it has none), as
// the desktop's cursor theme calls it: "left_ptr", "not-allowed" and so on.
std::string ShownCursorName();
// Moves in steps from one point to another, so that the windows see motion.
void MouseGlide(const wxPoint& from, const wxPoint& to, int steps = 8);

} // namespace gui
