#include "app/window_state.h"

#include <wx/toplevel.h>

namespace app {

void ShowWithState(wxTopLevelWindow& window, int showCommand) {
    switch (showCommand) {
    case 2:
    case 6:
        // Asked before the window is mapped, so that it starts as an icon.
        window.Iconize(true);
        window.Show();
        break;
    case 3:
        window.Maximize(true);
        window.Show();
        break;
    default:
        window.Show();
        break;
    }
}

int ShowCommandOf(const wxTopLevelWindow& window) {
    if (window.IsIconized()) return 2;
    if (window.IsMaximized()) return 3;
    return 1;
}

} // namespace app
