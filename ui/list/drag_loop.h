#pragma once
// The modal loop of a drag between panes. While it runs, the capture window
// holds the mouse and every keyboard and mouse event goes through the loop
// first: moves and keys are reported to the client, and the drag ends with a
// drop on a left button release, or is cancelled by Escape, a right button
// press, the capture going elsewhere or a window closing. Other events are
// dispatched as usual.
#include <wx/gdicmn.h>

class wxWindow;

// Receives the moves and keys of a running drag loop.
class HDragLoopClient {
public:
    virtual ~HDragLoopClient() = default;
    // The cursor moved to a screen point.
    virtual void OnDragMove(const wxPoint& screen) = 0;
    // A key went down or up (a wxKeyCode).
    virtual void OnDragKey(int key, bool down) = 0;
};

// Runs the loop until the drag ends; true when it ended in a drop. The
// caller must have captured the mouse for captureWindow; returns false at
// once when it does not hold the capture.
bool RunDragLoop(wxWindow* captureWindow, HDragLoopClient& client);
