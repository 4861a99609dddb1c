#pragma once
// Showing a top-level window for the first time under a window manager.
class wxTopLevelWindow;

namespace platform {

// Shows the window. Under a window manager the toolkit shows a new window
// only once the manager has told it the frame's size, and makes the native
// window meanwhile at a placeholder size of a pixel or two; the menu bar and
// tool bar, laid out into that when the window appears, complain. The
// window is laid out at its own size first, so the native window is made at
// that size and the first layout is the real one.
void ShowTopLevel(wxTopLevelWindow& window);

} // namespace platform
