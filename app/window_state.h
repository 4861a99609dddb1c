#pragma once
// The stored "WindowState" is a show command: 1 normal, 2 or 6 minimised,
// 3 maximised, 5 shown as created. These map it onto a top-level window and
// back, with the window's place in the normal state.
#include <optional>

#include <wx/gdicmn.h>

class wxTopLevelWindow;

namespace app {

// A window's rectangle moved, and shrunk where it must, to lie wholly in
// area (a display's work area).
wxRect FitIntoArea(const wxRect& window, const wxRect& area);

// Places the window at normalPlace (its outer rectangle in the normal
// state), or centred at its own size without one, wholly on the work area
// of the display it is on; then shows it in the state a stored show command
// asks for.
void ShowWithState(wxTopLevelWindow& window, int showCommand,
                   std::optional<wxRect> normalPlace = std::nullopt);
// The show command that describes the window now (1, 2 or 3).
int ShowCommandOf(const wxTopLevelWindow& window);
// The window's outer rectangle while it is in the normal state; none while
// it is minimised or maximised.
std::optional<wxRect> NormalPlaceOf(const wxTopLevelWindow& window);

} // namespace app
