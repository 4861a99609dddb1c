#include "ui/list/drag_loop.h"

#include <wx/evtloop.h>
#include <wx/eventfilter.h>
#include <wx/window.h>

namespace {

// Sees every event of the application while the loop runs.
class DragFilter : public wxEventFilter {
public:
    DragFilter(wxWindow* window, HDragLoopClient& client, wxGUIEventLoop& loop)
        : window_(window), client_(client), loop_(loop) {}

    bool Dropped() const { return dropped_; }

    int FilterEvent(wxEvent& event) override {
        const wxEventType type = event.GetEventType();
        // The capture went elsewhere (a modal box opened, another program
        // took the pointer): the drag ends as cancelled, and the loss counts
        // as handled, which the toolkit requires of the capturing window.
        if (type == wxEVT_MOUSE_CAPTURE_LOST && event.GetEventObject() == window_) {
            if (!finished_) Finish(false);
            return Event_Processed;
        }
        if (finished_) return Event_Skip;
        if (wxWindow::GetCapture() != window_) {
            Finish(false);
            return Event_Skip;
        }
        // The top-level window sees a key first (char hook); consuming it
        // there keeps the key from the focused window, so it counts as the
        // key going down.
        if (type == wxEVT_CHAR_HOOK || type == wxEVT_KEY_DOWN || type == wxEVT_KEY_UP) {
            const int key = static_cast<wxKeyEvent&>(event).GetKeyCode();
            const bool down = type != wxEVT_KEY_UP;
            client_.OnDragKey(key, down);
            if (down && key == WXK_ESCAPE) Finish(false);
            return Event_Processed;
        }
        if (type == wxEVT_CHAR) return Event_Processed;
        if (type == wxEVT_MOTION) {
            auto& mouse = static_cast<wxMouseEvent&>(event);
            auto* from = dynamic_cast<wxWindow*>(mouse.GetEventObject());
            client_.OnDragMove(from ? from->ClientToScreen(mouse.GetPosition())
                                    : wxGetMousePosition());
            return Event_Processed;
        }
        if (type == wxEVT_LEFT_UP) {
            auto& mouse = static_cast<wxMouseEvent&>(event);
            auto* from = dynamic_cast<wxWindow*>(mouse.GetEventObject());
            client_.OnDragMove(from ? from->ClientToScreen(mouse.GetPosition())
                                    : wxGetMousePosition());
            Finish(true);
            return Event_Processed;
        }
        if (type == wxEVT_RIGHT_DOWN) {
            Finish(false);
            return Event_Processed;
        }
        // A window closing (the application may be quitting) ends the drag;
        // the close itself goes on.
        if (type == wxEVT_CLOSE_WINDOW || type == wxEVT_END_SESSION) {
            Finish(false);
            return Event_Skip;
        }
        return Event_Skip;
    }

private:
    void Finish(bool drop) {
        finished_ = true;
        dropped_ = drop;
        loop_.Exit();
    }

    wxWindow* window_;
    HDragLoopClient& client_;
    wxGUIEventLoop& loop_;
    bool finished_ = false;
    bool dropped_ = false;
};

} // namespace

bool RunDragLoop(wxWindow* captureWindow, HDragLoopClient& client) {
    if (!captureWindow || wxWindow::GetCapture() != captureWindow) return false;
    wxGUIEventLoop loop;
    DragFilter filter(captureWindow, client, loop);
    wxEvtHandler::AddFilter(&filter);
    loop.Run();
    wxEvtHandler::RemoveFilter(&filter);
    return filter.Dropped();
}
