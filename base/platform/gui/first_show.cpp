#include "base/platform/gui/first_show.h"

#include <gtk/gtk.h>
#include <wx/toplevel.h>

namespace platform {

void ShowTopLevel(wxTopLevelWindow& window) {
    GtkWidget* widget = window.GetHandle();
    if (widget && !gtk_widget_get_realized(widget)) {
        // The native window is made at the size the widget holds when it is
        // realized; without this, that is the placeholder.
        const wxSize size = window.GetSize();
        gtk_widget_get_preferred_size(widget, nullptr, nullptr);
        GtkAllocation allocation{0, 0, size.x, size.y};
        gtk_widget_size_allocate(widget, &allocation);
    }
    window.Show();
}

} // namespace platform
