#include "tests/support/gui_harness/gui_harness.h"


#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

#include "ui/list/file_list_ctrl.h"
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/window.h>

namespace gui {

namespace {

void PumpOnce() {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) return;
    while (loop->Pending())
        loop->Dispatch();
    wxTheApp->ProcessPendingEvents();
    loop->ProcessIdle();
}

} // namespace

void Pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        PumpOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < end);
}

bool PumpUntil(const std::function<bool()>& pred, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return pred();
        PumpOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void ShowAndWait(wxWindow* top) {
    top->Show();
    top->Raise();
    PumpUntil([top] { return top->IsShownOnScreen(); }, 3000);
    // Let the X server map and place the window and the toolkit lay it out.
    Pump(150);
    if (auto* tlw = dynamic_cast<wxTopLevelWindow*>(top)) tlw->Layout();
    Pump(50);
}

bool ChooseFromMenuBar(wxFrame* frame, int itemId) {
    wxMenuBar* bar = frame->GetMenuBar();
    wxMenu* menu = nullptr;
    wxMenuItem* item = bar ? bar->FindItem(itemId, &menu) : nullptr;
    if (!item || !menu) return false;
    frame->DoMenuUpdates(menu);
    if (!item->IsEnabled()) return false;
    const bool sent = menu->SendEvent(itemId, item->IsCheckable() ? !item->IsChecked() : -1);
    Pump(20);
    return sent;
}

namespace {

// One right click and the keys to the item; false when the menu did not take
// the keys in time (it is closed again then).
bool TryContextMenu(wxWindow* owner, const wxPoint& screen, int itemId, bool& found) {
    wxMenu* opened = nullptr;
    bool pressed = false, stuck = false, activated = false;
    auto onCommand = [&](wxCommandEvent& event) {
        activated = true;
        event.Skip();
    };
    auto onOpen = [&](wxMenuEvent& event) {
        if (!opened) opened = event.GetMenu();
        event.Skip();
    };
    owner->Bind(wxEVT_MENU_OPEN, onOpen);
    owner->Bind(wxEVT_MENU, onCommand);
    // Runs inside the menu's own loop. The menu takes keys only a moment
    // after it is up; should they come too early, Escape closes it.
    int ticks = 0;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!opened) return;
        ++ticks;
        if (ticks == 5) {
            pressed = true;
            int downs = 0;
            for (const wxMenuItem* item : opened->GetMenuItems()) {
                if (item->IsSeparator() || !item->IsEnabled()) continue;
                ++downs;
                if (item->GetId() == itemId) {
                    found = true;
                    break;
                }
            }
            if (!found) downs = 0;
            for (int i = 0; i < downs; ++i)
                KeyPress(WXK_DOWN);
            KeyPress(found ? WXK_RETURN : WXK_ESCAPE);
        } else if (ticks % 25 == 0 && !activated) {
            stuck = true;
            KeyPress(WXK_ESCAPE);
        }
    });
    poll.Start(50);
    MouseMove(screen);
    MouseDown(2);
    MouseUp(2);
    // The menu's loop runs inside this; it has ended once this returns.
    PumpUntil([&] { return pressed; }, 8000);
    poll.Stop();
    owner->Unbind(wxEVT_MENU_OPEN, onOpen);
    owner->Unbind(wxEVT_MENU, onCommand);
    Pump(100);
    return pressed && !stuck;
}

} // namespace

bool ChooseFromContextMenu(wxWindow* owner, const wxPoint& screen, int itemId) {
    bool found = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        found = false;
        if (TryContextMenu(owner, screen, itemId, found)) return found;
        Pump(300);
    }
    return false;
}

struct OnModal::Impl {
    std::function<void(wxDialog&)> answer;
    bool answered = false;
    wxTimer timer;
};

OnModal::OnModal(std::function<void(wxDialog&)> answer) : impl_(std::make_unique<Impl>()) {
    impl_->answer = std::move(answer);
    impl_->timer.Bind(wxEVT_TIMER, [impl = impl_.get()](wxTimerEvent&) {
        if (impl->answered) return;
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(w); dialog && dialog->IsModal()) {
                impl->answered = true;
                impl->timer.Stop();
                impl->answer(*dialog);
                return;
            }
    });
    impl_->timer.Start(50);
}

OnModal::~OnModal() = default;

bool OnModal::Answered() const {
    return impl_->answered;
}

bool SendButton(wxWindow* window, int id) {
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(window);
    return window->GetEventHandler()->ProcessEvent(event);
}

UpdateState RunUpdateUI(wxWindow* window, int id) {
    wxUpdateUIEvent event(id);
    event.SetEventObject(window);
    UpdateState state;
    state.processed = window->GetEventHandler()->ProcessEvent(event);
    state.setEnabled = event.GetSetEnabled();
    state.enabled = event.GetEnabled();
    state.setChecked = event.GetSetChecked();
    state.checked = event.GetChecked();
    state.setText = event.GetSetText();
    state.text = event.GetText();
    return state;
}

std::vector<std::vector<std::string>> ListRows(const HFileListCtrl& list) {
    std::vector<std::vector<std::string>> rows;
    for (long row = 0; row < list.GetItemCount(); ++row) {
        std::vector<std::string> cells;
        for (int col = 0; col < list.ColumnCount(); ++col)
            cells.push_back(list.GetRowText(row, col).utf8_string());
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::vector<long> SelectedRows(const HFileListCtrl& list) {
    return list.GetSelectedRows();
}

wxPoint RowScreenPoint(const HFileListCtrl& list, long row) {
    wxRect rect;
    // The table lays out rows it was given at its own pace: the row's place
    // counts once it holds still.
    wxRect before;
    PumpUntil(
        [&] {
            rect = list.GetRowRect(row, HFileListCtrl::RowPart::Label);
            const bool placed = !rect.IsEmpty() && rect == before;
            before = rect;
            if (!placed) Pump(30);
            return placed;
        },
        2000);
    return list.ClientToScreen(
        wxPoint(rect.x + std::min(rect.width / 2, 20), rect.y + rect.height / 2));
}

wxPoint ScreenCenter(const wxWindow& window) {
    const wxSize size = window.GetClientSize();
    return window.ClientToScreen(wxPoint(size.x / 2, size.y / 2));
}

// ---- Script -----------------------------------------------------------------

struct Script::Impl : wxTimer {
    int interval;
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    size_t finished = 0;
    // The event loop that was active when each running step began.
    std::vector<wxEventLoopBase*> running;

    void Notify() override {
        if (next >= steps.size()) return;
        // A step that is still running keeps the next one back while it only
        // yields (same loop), so that input goes out in order; a step that
        // started a modal loop (another loop is active) lets it run inside.
        if (!running.empty() && running.back() == wxEventLoopBase::GetActive()) {
            StartOnce(interval);
            return;
        }
        const size_t index = next++;
        if (next < steps.size()) StartOnce(interval);
        running.push_back(wxEventLoopBase::GetActive());
        steps[index]();
        running.pop_back();
        ++finished;
    }
};

Script::Script(int intervalMs) : impl_(new Impl) {
    impl_->interval = intervalMs;
}

Script::~Script() {
    impl_->Stop();
    delete impl_;
}

Script& Script::Then(std::function<void()> step) {
    impl_->steps.push_back(std::move(step));
    return *this;
}

void Script::Start() {
    if (!impl_->steps.empty()) impl_->StartOnce(impl_->interval);
}

bool Script::Done() const {
    return impl_->finished >= impl_->steps.size();
}

bool Script::Run(int timeoutMs) {
    Start();
    return PumpUntil([this] { return Done(); }, timeoutMs);
}

// ---- Input ------------------------------------------------------------------

namespace {
// One simulator for the whole run: making one waits and dispatches events,
// which must not happen in the middle of a series of steps.
wxUIActionSimulator& Simulator() {
    static wxUIActionSimulator* simulator = new wxUIActionSimulator;
    return *simulator;
}
} // namespace

void MouseMove(const wxPoint& screen) {
    Simulator().MouseMove(screen);
}

void MouseDown(int button) {
    Simulator().MouseDown(button == 1   ? wxMOUSE_BTN_LEFT
                          : button == 2 ? wxMOUSE_BTN_RIGHT
                                        : wxMOUSE_BTN_MIDDLE);
}

void MouseUp(int button) {
    Simulator().MouseUp(button == 1   ? wxMOUSE_BTN_LEFT
                        : button == 2 ? wxMOUSE_BTN_RIGHT
                                      : wxMOUSE_BTN_MIDDLE);
}

void KeyPress(int keycode) {
    Simulator().Char(keycode);
}

void KeyPress(int keycode, int modifiers) {
    Simulator().Char(keycode, modifiers);
}

void MouseGlide(const wxPoint& from, const wxPoint& to, int steps) {
    for (int i = 1; i <= steps; ++i) {
        MouseMove(from + (to - from) * i / steps);
        Pump(10);
    }
}

} // namespace gui
