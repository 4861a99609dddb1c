#pragma once
// HFileSource: the sending side of an explorer pane. It holds the pane's
// peers, the targets its selection may be sent to, and runs the drag of its
// selection onto a peer: a modal loop, with the mouse captured by the list,
// that moves an image of the selected rows over the screen and ends in
// SendTo when the left button is released over a peer that can receive.
#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/gdicmn.h>

class wxWindow;
class HDragImage;
class HFileTarget;
class HNameList;

class HFileSource {
public:
    HFileSource();
    HFileSource(const HFileSource&) = delete;
    HFileSource& operator=(const HFileSource&) = delete;
    virtual ~HFileSource();

    // The explorer's list window.
    virtual wxWindow* GetWindow() const = 0;
    // The window that holds the mouse during a drag.
    wxWindow* CaptureWindow() const;
    // An image of the selection (invalid when nothing can be dragged); origin
    // receives its top-left corner in the list's client coordinates.
    virtual wxBitmap CreateDragImage(wxPoint* origin) = 0;
    // Adds one entry per selected item to list.
    virtual bool CollectSelection(HNameList& list) = 0;
    // Sends the selection to target; true on success.
    virtual bool SendTo(HFileTarget* target) = 0;

    // Starts a drag at point (the list's client coordinates, as the list's
    // begin-drag event gives it) and runs it to its end. True when a drag ran
    // or was already running; false when it could not start.
    virtual bool BeginDrag(const wxPoint& point);
    virtual bool IsDragging() const;
    // Moves the image to a screen point and shows whether a peer there can
    // receive (arrow) or not (no-entry cursor).
    virtual void DragMove(const wxPoint& screen);
    // Ends the drag; with drop, sends the selection to the peer under the
    // last point when it can receive. Returns SendTo's result on a drop,
    // else false; false when no drag runs.
    virtual bool EndDrag(bool drop);
    // A key went down or up during the drag; does nothing by default.
    virtual void KeyDuringDrag(int key, bool down);
    // Prepares the screen for the drag image: repaints every window now, so
    // that the image moves over up-to-date contents.
    virtual bool LockScreen();
    // Gives the mouse back and restores the cursor.
    virtual void UnlockScreen();
    // The modal drag loop: captures the mouse for the list and runs until
    // the drag ends; true when it ended in a drop. When another window holds
    // the mouse, the drag ends at once without a drop.
    virtual bool DragLoop();

    // ---- Peers ----------------------------------------------------------
    // Adds a target. A null target, or one without a window, is refused; a
    // target is held once. Returns whether it was already present.
    bool AddPeer(HFileTarget* target);
    void RemovePeer(HFileTarget* target);
    void RemoveAllPeers();
    bool ContainsPeer(const HFileTarget* target) const;
    const std::vector<HFileTarget*>& GetPeers() const { return peers_; }
    // The first peer (in peer order) whose window is window or one of its
    // ancestors; null when none.
    HFileTarget* FindPeer(const wxWindow* window) const;
    // The peer under a screen point, or null.
    HFileTarget* PeerAtPoint(const wxPoint& screen) const;

    // ---- Drag state, for tests and panes ------------------------------------
    // The cursor position at the last move, in screen coordinates.
    wxPoint GetLastPoint() const { return lastPoint_; }
    // Whether the cursor shows that the point under it can receive.
    bool DropAllowed() const { return dropAllowed_; }
    // Size of the image being dragged (empty when none).
    wxSize GetDragImageSize() const { return imageSize_; }
    // Where the image is on the screen (empty when none is shown).
    wxRect GetDragImageRect() const;

private:
    class LoopClient;

    std::vector<HFileTarget*> peers_;
    bool dragging_ = false;
    std::unique_ptr<HDragImage> dragImage_;
    wxPoint lastPoint_;
    wxSize imageSize_;
    bool dropAllowed_ = false;
    bool cursorShown_ = false;   // a drag cursor is shown
    bool cursorAllowed_ = false; // and it is the arrow
};
