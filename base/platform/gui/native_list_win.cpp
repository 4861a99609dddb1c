// The file lists on Windows are wx's own drawn list (wxDataViewCtrl): most of
// what the GTK tree view needs is already its behaviour.
#include "base/platform/gui/native_list.h"

#include <wx/msw/wrapwin.h>

#include <memory>

#include <wx/dataview.h>
#include <wx/settings.h>
#include <wx/window.h>

namespace platform {

namespace {

wxDataViewCtrl* ViewOf(wxWindow* list) {
    return dynamic_cast<wxDataViewCtrl*>(list);
}

// The window the rows are drawn in and the mouse presses go to.
wxWindow* RowsOf(wxWindow* list) {
    wxDataViewCtrl* view = ViewOf(list);
    return view ? view->GetMainWindow() : nullptr;
}

struct PressState {
    ListPressHooks hooks;
    wxWindow* list = nullptr;
    bool down = false;
    bool kept = false;
    bool dragging = false;
    wxPoint start; // on the screen
    uint32_t pressTime = 0;
};

} // namespace

// The drawn list has no search box of its own.
void DisableListSearch(wxWindow*) {}

// The drawn list marks the focused row with the system's focus rectangle.
void ShowFocusClearly() {}

// Rows of the drawn list are of one height unless asked otherwise.
void SetUniformRowHeights(wxWindow*) {}

// The drawn list's header does not take the keyboard focus.
void KeepHeaderOutOfTabs(wxWindow*) {}

// The drawn list tells its current row itself through its accessible object.
void TellCurrentRow(wxWindow*, bool) {}

void ScrollRowToTop(wxWindow* list, long row) {
    wxDataViewCtrl* view = ViewOf(list);
    if (!view || row < 0) return;
    // One scroll unit of the list is one row.
    view->Scroll(-1, static_cast<int>(row));
    // A list yet to lay out its rows is scrolled again once it has.
    wxWeakRef<wxDataViewCtrl> weak(view);
    view->CallAfter([weak, row] {
        if (weak) weak->Scroll(-1, static_cast<int>(row));
    });
}

// Every move of the rows repaints them: the first row shown is compared then.
void WatchListScroll(wxWindow* list, std::function<void()> scrolled) {
    wxDataViewCtrl* view = ViewOf(list);
    wxWindow* rows = RowsOf(list);
    if (!view || !rows) return;
    auto top = std::make_shared<int>(view->GetViewStart().y);
    rows->Bind(wxEVT_PAINT, [view, top, scrolled](wxPaintEvent& event) {
        event.Skip();
        const int now = view->GetViewStart().y;
        if (now == *top) return;
        *top = now;
        if (scrolled) view->CallAfter(scrolled);
    });
}

void WatchListPresses(wxWindow* list, ListPressHooks hooks) {
    wxWindow* rows = RowsOf(list);
    if (!rows) return;
    auto state = std::make_shared<PressState>();
    state->hooks = std::move(hooks);
    state->list = list;
    rows->Bind(wxEVT_LEFT_DOWN, [state, rows](wxMouseEvent& event) {
        state->down = true;
        state->dragging = false;
        state->start = rows->ClientToScreen(event.GetPosition());
        state->pressTime = static_cast<uint32_t>(event.GetTimestamp());
        state->kept = false;
        // Clicks with a modifier extend or toggle the selection: the list's own.
        if (!event.ShiftDown() && !event.ControlDown() && state->hooks.press)
            state->kept = state->hooks.press(state->list->ScreenToClient(state->start));
        if (state->kept) {
            if (!rows->HasFocus()) rows->SetFocus();
            return;
        }
        event.Skip();
    });
    rows->Bind(wxEVT_MOTION, [state, rows](wxMouseEvent& event) {
        event.Skip();
        if (!state->down || state->dragging || !event.LeftIsDown()) return;
        const wxPoint now = rows->ClientToScreen(event.GetPosition());
        if (std::abs(now.x - state->start.x) < wxSystemSettings::GetMetric(wxSYS_DRAG_X) &&
            std::abs(now.y - state->start.y) < wxSystemSettings::GetMetric(wxSYS_DRAG_Y))
            return;
        state->dragging = true;
        state->down = false;
        if (state->hooks.drag) state->hooks.drag(state->list->ScreenToClient(state->start));
    });
    rows->Bind(wxEVT_LEFT_UP, [state, rows](wxMouseEvent& event) {
        const bool wasDown = state->down;
        state->down = false;
        state->dragging = false;
        if (wasDown && state->hooks.release)
            state->hooks.release(
                state->list->ScreenToClient(rows->ClientToScreen(event.GetPosition())),
                state->kept, state->pressTime);
        const bool kept = state->kept;
        state->kept = false;
        if (!kept) event.Skip();
    });
}

} // namespace platform
