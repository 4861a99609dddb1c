#include "ui/controls/icon_button.h"

#include <algorithm>

#include "base/platform/gui/accessibility.h"
#include "ui/controls/icons.h"

namespace controls {

namespace {

// Room the theme takes around a button's icon.
constexpr int kButtonPadding = 10;

} // namespace

HIconButton::HIconButton(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip,
                         const wxPoint& pos, const wxSize& size) {
    Create(parent, id, iconId, tip, pos, size);
}

bool HIconButton::Create(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip,
                         const wxPoint& pos, const wxSize& size) {
    int side = kIconSize;
    if (size.x > 0 && size.y > 0)
        side = std::clamp(std::min(size.x, size.y) - kButtonPadding, 12, kIconSize);
    // Drawn at the pixel size of the window's scale, sharp on a HiDPI screen.
    const wxBitmapBundle icon = IconBundle(iconId, side);
    if (!wxBitmapButton::Create(parent, id, icon, pos, size)) return false;
    icon_ = icon.GetBitmap(wxSize(side, side));
    if (!tip.empty()) {
        SetToolTip(tip);
        platform::SetAccessibleName(this, tip);
    }
    return true;
}

void HIconButton::SetIcon(const wxBitmap& icon) {
    icon_ = icon;
    SetBitmap(icon);
}

bool HIconButton::Click() {
    if (!IsEnabled()) return false;
    wxCommandEvent event(wxEVT_BUTTON, GetId());
    event.SetEventObject(this);
    return ProcessWindowEvent(event);
}

} // namespace controls
