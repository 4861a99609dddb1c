#include "ui/panes/file_source.h"

#include <algorithm>

#include <wx/cursor.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "base/platform/gui/drag_cursor.h"
#include "ui/panes/file_target.h"
#include "ui/list/drag_image_window.h"
#include "ui/list/drag_loop.h"
#include "ui/list/file_list_ctrl.h"

// Passes the loop's moves and keys to the source's own operations.
class HFileSource::LoopClient : public HDragLoopClient {
public:
    explicit LoopClient(HFileSource& source) : source_(source) {}
    void OnDragMove(const wxPoint& screen) override { source_.DragMove(screen); }
    void OnDragKey(int key, bool down) override { source_.KeyDuringDrag(key, down); }

private:
    HFileSource& source_;
};

HFileSource::HFileSource() = default;

HFileSource::~HFileSource() = default;

bool HFileSource::BeginDrag(const wxPoint& point) {
    if (dragging_) return true;
    wxWindow* window = GetWindow();
    if (!window || !LockScreen()) return false;

    wxPoint origin;
    const wxBitmap image = CreateDragImage(&origin);
    if (!image.IsOk()) {
        UnlockScreen();
        return false;
    }
    dragImage_ = std::make_unique<HDragImage>(image);
    imageSize_ = image.GetSize();
    // The hot spot keeps the image at the rows' place relative to the cursor.
    dragImage_->BeginDrag(point - origin, window);
    dragImage_->Move(window->ClientToScreen(point));
    dragImage_->Show();
    lastPoint_ = wxGetMousePosition();
    dragging_ = true;
    DragLoop();
    return true;
}

bool HFileSource::IsDragging() const {
    return dragging_;
}

void HFileSource::DragMove(const wxPoint& screen) {
    if (!dragging_) return;
    if (dragImage_) dragImage_->Move(screen);
    const HFileTarget* peer = PeerAtPoint(screen);
    dropAllowed_ = peer && peer->CanReceive();
    // Shown through the mouse's holder: a cursor set elsewhere would not show
    // while it holds the mouse.
    const bool changed = !cursorShown_ || dropAllowed_ != cursorAllowed_;
    if (changed) {
        platform::ShowDragCursor(CaptureWindow(), dropAllowed_ ? platform::DragCursor::Drop
                                                               : platform::DragCursor::NoDrop);
        cursorShown_ = true;
        cursorAllowed_ = dropAllowed_;
    }
    lastPoint_ = screen;
}

bool HFileSource::EndDrag(bool drop) {
    if (!dragging_) return false;
    UnlockScreen();
    if (dragImage_) {
        dragImage_->EndDrag();
        dragImage_.reset();
    }
    dragging_ = false;
    imageSize_ = wxSize();
    dropAllowed_ = false;
    if (!drop) return false;
    HFileTarget* peer = PeerAtPoint(lastPoint_);
    if (!peer || !peer->CanReceive()) return false;
    return SendTo(peer);
}

void HFileSource::KeyDuringDrag(int, bool) {}

bool HFileSource::LockScreen() {
    for (wxWindow* top : wxTopLevelWindows)
        top->Update();
    return true;
}

wxWindow* HFileSource::CaptureWindow() const {
    wxWindow* window = GetWindow();
    // A native table delivers no mouse events of its own: its pane holds
    // the mouse for it while the drag runs.
    if (dynamic_cast<HFileListCtrl*>(window) && window->GetParent()) return window->GetParent();
    return window;
}

void HFileSource::UnlockScreen() {
    wxWindow* window = CaptureWindow();
    if (cursorShown_) platform::ShowDragCursor(window, platform::DragCursor::None);
    cursorShown_ = false;
    if (window && wxWindow::GetCapture() == window) window->ReleaseMouse();
}

bool HFileSource::DragLoop() {
    wxWindow* window = CaptureWindow();
    // The list, or a part of it, may still hold the mouse for the press that
    // started the drag; any other window holding it ends the drag.
    wxWindow* holder = wxWindow::GetCapture();
    if (!window || (holder && holder != window && !window->IsDescendant(holder))) {
        EndDrag(false);
        return false;
    }
    if (holder != window) window->CaptureMouse();
    LoopClient client(*this);
    const bool drop = RunDragLoop(window, client);
    EndDrag(drop);
    return drop;
}

wxRect HFileSource::GetDragImageRect() const {
    return dragImage_ ? dragImage_->GetScreenRect() : wxRect();
}

bool HFileSource::AddPeer(HFileTarget* target) {
    if (!target || !target->GetWindow()) return false;
    if (ContainsPeer(target)) return true;
    peers_.push_back(target);
    return false;
}

void HFileSource::RemovePeer(HFileTarget* target) {
    std::erase(peers_, target);
}

void HFileSource::RemoveAllPeers() {
    peers_.clear();
}

bool HFileSource::ContainsPeer(const HFileTarget* target) const {
    return std::find(peers_.begin(), peers_.end(), target) != peers_.end();
}

HFileTarget* HFileSource::FindPeer(const wxWindow* window) const {
    for (HFileTarget* peer : peers_) {
        const wxWindow* peerWindow = peer->GetWindow();
        if (!peerWindow) continue;
        for (const wxWindow* w = window; w; w = w->GetParent())
            if (w == peerWindow) return peer;
    }
    return nullptr;
}

HFileTarget* HFileSource::PeerAtPoint(const wxPoint& screen) const {
    // The drag image sits under the cursor; look beneath it.
    wxWindow* window = WindowAtPoint(screen, dragImage_ ? dragImage_->GetImageWindow() : nullptr);
    return window ? FindPeer(window) : nullptr;
}
