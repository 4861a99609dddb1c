#include "app/window_state.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/toplevel.h>

#include "base/platform/gui/first_show.h"

namespace app {

namespace {

// The work area of the display that holds the point, or of the first one.
wxRect WorkAreaAt(const wxPoint& point) {
    const int index = wxDisplay::GetFromPoint(point);
    return wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
}

} // namespace

wxRect FitIntoArea(const wxRect& window, const wxRect& area) {
    wxRect fitted = window;
    fitted.width = std::clamp(window.width, 1, std::max(area.width, 1));
    fitted.height = std::clamp(window.height, 1, std::max(area.height, 1));
    fitted.x = std::clamp(window.x, area.x, area.x + area.width - fitted.width);
    fitted.y = std::clamp(window.y, area.y, area.y + area.height - fitted.height);
    return fitted;
}

void ShowWithState(wxTopLevelWindow& window, int showCommand, std::optional<wxRect> normalPlace) {
    if (normalPlace) {
        const wxRect area = WorkAreaAt(normalPlace->GetPosition() + normalPlace->GetSize() / 2);
        window.SetSize(FitIntoArea(*normalPlace, area));
    } else {
        // Title bar and bottom edge on screen, also on a small one.
        const wxRect area = WorkAreaAt(wxPoint(0, 0));
        wxRect place(area.GetPosition(), window.GetSize());
        place = FitIntoArea(place, area);
        place.x = area.x + (area.width - place.width) / 2;
        place.y = area.y + (area.height - place.height) / 2;
        window.SetSize(place);
    }
    switch (showCommand) {
    case 2:
    case 6:
        // Asked before the window is mapped, so that it starts as an icon.
        window.Iconize(true);
        platform::ShowTopLevel(window);
        break;
    case 3:
        window.Maximize(true);
        platform::ShowTopLevel(window);
        break;
    default:
        platform::ShowTopLevel(window);
        break;
    }
}

int ShowCommandOf(const wxTopLevelWindow& window) {
    if (window.IsIconized()) return 2;
    if (window.IsMaximized()) return 3;
    return 1;
}

std::optional<wxRect> NormalPlaceOf(const wxTopLevelWindow& window) {
    if (window.IsIconized() || window.IsMaximized() || window.IsFullScreen()) return std::nullopt;
    return window.GetRect();
}

} // namespace app
