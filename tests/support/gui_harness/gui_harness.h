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
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxEvtHandler;
class wxListCtrl;
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

// Sends a menu command with the given id to a window's event handler as
// the window's menu would; true when some handler processed it.
bool SendCommand(wxWindow* window, int id);
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
std::vector<std::vector<std::string>> ListRows(const wxListCtrl& list);
// The selected rows in order.
std::vector<long> SelectedRows(const wxListCtrl& list);
// The screen point at the middle of a row's label.
wxPoint RowScreenPoint(const wxListCtrl& list, long row);
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

// Mouse input through the X server (wxUIActionSimulator), in screen
// coordinates.
void MouseMove(const wxPoint& screen);
void MouseDown(int button = 1);
void MouseUp(int button = 1);
void KeyPress(int keycode);
// Moves in steps from one point to another, so that the windows see motion.
void MouseGlide(const wxPoint& from, const wxPoint& to, int steps = 8);

} // namespace gui
