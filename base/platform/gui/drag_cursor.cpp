#include "base/platform/gui/drag_cursor.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace platform {

void ShowDragCursor(wxWindow* holder, DragCursor cursor) {
    if (!holder) return;
    GdkWindow* window = holder->GTKGetDrawingWindow();
    if (!window) window = gtk_widget_get_window(holder->GetHandle());
    if (!window) return;
    GdkDisplay* display = gdk_window_get_display(window);
    GdkCursor* shape = nullptr;
    if (cursor != DragCursor::None) {
        // The theme's names, with the core cursors as the fall-back.
        shape = gdk_cursor_new_from_name(display, cursor == DragCursor::Drop ? "default" : "not-allowed");
        if (!shape)
            shape = gdk_cursor_new_for_display(
                display, cursor == DragCursor::Drop ? GDK_LEFT_PTR : GDK_X_CURSOR);
    }
    gdk_window_set_cursor(window, shape);
    // The hold shows the grab window's cursor only once it is grabbed anew
    // with that shape; the grab stays the same window's, so nothing breaks.
    if (wxWindow::GetCapture() == holder) {
        GdkSeat* seat = gdk_display_get_default_seat(display);
        GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
        if (pointer && gdk_display_device_is_grabbed(display, pointer)) {
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            gdk_device_grab(pointer, window, GDK_OWNERSHIP_NONE, FALSE,
                            GdkEventMask(GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                         GDK_BUTTON_RELEASE_MASK),
                            shape, GDK_CURRENT_TIME);
            G_GNUC_END_IGNORE_DEPRECATIONS
        }
    }
    if (shape) g_object_unref(shape);
}

} // namespace platform
