#include "base/platform/gui/first_show.h"

#include <wx/toplevel.h>

namespace platform {

// Windows makes the native window at its own size from the start.
void ShowTopLevel(wxTopLevelWindow& window) {
    window.Show();
}

} // namespace platform
