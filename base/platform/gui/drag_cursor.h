#pragma once
// The pointer's shape while a window holds the mouse for a drag. The window
// holding the mouse decides what the desktop shows wherever the pointer is,
// so the shape is given to the hold itself.
class wxWindow;

namespace platform {

enum class DragCursor {
    Drop,   // the place under the pointer takes the files: the arrow
    NoDrop, // it does not: the no-entry sign
    None,   // the drag is over: the window's own cursor again
};

// Shows cursor while holder has captured the mouse (wxWindow::CaptureMouse).
void ShowDragCursor(wxWindow* holder, DragCursor cursor);

} // namespace platform
