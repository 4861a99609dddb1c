#include "app/file_source.h"

#include <algorithm>

#include <wx/cursor.h>
#include <wx/dragimag.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "app/file_target.h"
#include "desktop/gui/drag_loop.h"

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
    if (dragging_)
        return true;
    wxWindow* window = GetWindow();
    if (!window || !LockScreen())
        return false;

    wxPoint origin;
    const wxBitmap image = CreateDragImage(&origin);
    if (!image.IsOk()) {
        UnlockScreen();
        return false;
    }
    // The list itself, or a part of it, may hold the mouse for the press
    // that started the drag; any other window holding it stops the drag.
    wxWindow* holder = wxWindow::GetCapture();
    captureTaken_ = holder && holder != window && !window->IsDescendant(holder);
    dragImage_ = std::make_unique<wxDragImage>(image);
    imageSize_ = image.GetSize();
    // The hot spot keeps the image at the rows' place relative to the cursor.
    dragImage_->BeginDrag(point - origin, window, true);
    dragImage_->Move(point);
    dragImage_->Show();
    lastPoint_ = wxGetMousePosition();
    dragging_ = true;
    DragLoop();
    return true;
}

bool HFileSource::IsDragging() const { return dragging_; }

void HFileSource::DragMove(const wxPoint& screen) {
    if (!dragging_)
        return;
    if (wxWindow* window = GetWindow(); window && dragImage_)
        dragImage_->Move(window->ScreenToClient(screen));
    const HFileTarget* peer = PeerAtPoint(screen);
    dropAllowed_ = peer && peer->CanReceive();
    wxSetCursor(wxCursor(dropAllowed_ ? wxCURSOR_ARROW : wxCURSOR_NO_ENTRY));
    lastPoint_ = screen;
}

bool HFileSource::EndDrag(bool drop) {
    if (!dragging_)
        return false;
    wxWindow* window = GetWindow();
    if (dragImage_) {
        dragImage_->Hide();
        // The image gives the mouse back itself; after the capture went
        // elsewhere there is nothing to give back.
        if (window && wxWindow::GetCapture() == window)
            dragImage_->EndDrag();
        dragImage_.reset();
    }
    UnlockScreen();
    dragging_ = false;
    imageSize_ = wxSize();
    dropAllowed_ = false;
    if (!drop)
        return false;
    HFileTarget* peer = PeerAtPoint(lastPoint_);
    if (!peer || !peer->CanReceive())
        return false;
    return SendTo(peer);
}

void HFileSource::KeyDuringDrag(int, bool) {}

bool HFileSource::LockScreen() {
    for (wxWindow* top : wxTopLevelWindows)
        top->Update();
    return true;
}

void HFileSource::UnlockScreen() {
    wxWindow* window = GetWindow();
    if (window && wxWindow::GetCapture() == window)
        window->ReleaseMouse();
    wxSetCursor(wxNullCursor);
}

bool HFileSource::DragLoop() {
    wxWindow* window = GetWindow();
    if (captureTaken_ || !window || wxWindow::GetCapture() != window) {
        // Another window holds the mouse: the drag that began ends at once.
        EndDrag(false);
        return false;
    }
    LoopClient client(*this);
    const bool drop = RunDragLoop(window, client);
    EndDrag(drop);
    return drop;
}

bool HFileSource::AddPeer(HFileTarget* target) {
    if (!target || !target->GetWindow())
        return false;
    if (ContainsPeer(target))
        return true;
    peers_.push_back(target);
    return false;
}

void HFileSource::RemovePeer(HFileTarget* target) { std::erase(peers_, target); }

void HFileSource::RemoveAllPeers() { peers_.clear(); }

bool HFileSource::ContainsPeer(const HFileTarget* target) const {
    return std::find(peers_.begin(), peers_.end(), target) != peers_.end();
}

HFileTarget* HFileSource::FindPeer(const wxWindow* window) const {
    for (HFileTarget* peer : peers_) {
        const wxWindow* peerWindow = peer->GetWindow();
        if (!peerWindow)
            continue;
        for (const wxWindow* w = window; w; w = w->GetParent())
            if (w == peerWindow)
                return peer;
    }
    return nullptr;
}

HFileTarget* HFileSource::PeerAtPoint(const wxPoint& screen) const {
    wxWindow* window = wxFindWindowAtPoint(screen);
    return window ? FindPeer(window) : nullptr;
}
