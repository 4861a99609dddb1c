#include "base/platform/gui/drag_cursor.h"

#include <wx/cursor.h>
#include <wx/window.h>

namespace platform {

// The window holding the mouse gets every mouse message, so its own cursor
// is the one shown wherever the pointer is.
void ShowDragCursor(wxWindow* holder, DragCursor cursor) {
    if (!holder) return;
    switch (cursor) {
    case DragCursor::Drop:
        holder->SetCursor(wxCursor(wxCURSOR_ARROW));
        break;
    case DragCursor::NoDrop:
        holder->SetCursor(wxCursor(wxCURSOR_NO_ENTRY));
        break;
    case DragCursor::None:
        holder->SetCursor(wxNullCursor);
        break;
    }
}

} // namespace platform
