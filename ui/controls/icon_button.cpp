#include "ui/controls/icon_button.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/renderer.h>

#include "ui/controls/icons.h"

namespace controls {

HIconButton::HIconButton(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip,
                         const wxPoint& pos, const wxSize& size) {
    Create(parent, id, iconId, tip, pos, size);
}

bool HIconButton::Create(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip,
                         const wxPoint& pos, const wxSize& size) {
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE)) return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetIcon(LoadIcon(iconId, kIconSize));
    if (!tip.empty()) SetToolTip(tip);
    SetInitialSize(size);
    return true;
}

void HIconButton::SetIcon(const wxBitmap& icon) {
    icon_ = icon;
    disabledIcon_ = icon.IsOk() ? icon.ConvertToDisabled() : wxNullBitmap;
    Refresh();
}

wxSize HIconButton::DoGetBestSize() const {
    return wxSize(kIconSize + 2 * kMargin, kIconSize + 2 * kMargin);
}

wxRect HIconButton::IconRect() const {
    const wxSize client = GetClientSize();
    const int room = std::min(client.x, client.y) - 2 * kMargin;
    const int side = std::clamp(room, 0, kIconSize);
    return wxRect((client.x - side) / 2, (client.y - side) / 2, side, side);
}

bool HIconButton::Click() {
    if (!IsEnabled()) return false;
    wxCommandEvent event(wxEVT_BUTTON, GetId());
    event.SetEventObject(this);
    return ProcessWindowEvent(event);
}

void HIconButton::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    int flags = 0;
    if (!IsEnabled()) flags |= wxCONTROL_DISABLED;
    if (pressed_ && hover_) flags |= wxCONTROL_PRESSED;
    if (hover_ && IsEnabled()) flags |= wxCONTROL_CURRENT;
    if (HasFocus()) flags |= wxCONTROL_FOCUSED;
    wxRendererNative::Get().DrawPushButton(this, dc, wxRect(GetClientSize()), flags);
    // The keyboard focus shows as a dotted frame inside the button.
    if (HasFocus())
        wxRendererNative::Get().DrawFocusRect(this, dc, wxRect(GetClientSize()).Deflate(3));

    const wxBitmap& bitmap = IsEnabled() ? icon_ : disabledIcon_;
    if (!bitmap.IsOk()) return;
    wxRect r = IconRect();
    if (r.width <= 0) return;
    if (flags & wxCONTROL_PRESSED) r.Offset(1, 1);
    if (r.width == bitmap.GetWidth()) {
        dc.DrawBitmap(bitmap, r.GetTopLeft(), true);
    } else {
        wxImage scaled = bitmap.ConvertToImage().Scale(r.width, r.height, wxIMAGE_QUALITY_HIGH);
        dc.DrawBitmap(wxBitmap(scaled), r.GetTopLeft(), true);
    }
}

void HIconButton::OnLeftDown(wxMouseEvent&) {
    if (!IsEnabled()) return;
    if (AcceptsFocus()) SetFocus();
    pressed_ = true;
    hover_ = true;
    if (!HasCapture()) CaptureMouse();
    Refresh();
}

void HIconButton::OnLeftUp(wxMouseEvent& event) {
    if (HasCapture()) ReleaseMouse();
    const bool click = pressed_ && wxRect(GetClientSize()).Contains(event.GetPosition());
    pressed_ = false;
    Refresh();
    if (click) Click();
}

void HIconButton::OnMotion(wxMouseEvent& event) {
    const bool inside = wxRect(GetClientSize()).Contains(event.GetPosition());
    if (inside != hover_) {
        hover_ = inside;
        Refresh();
    }
}

void HIconButton::OnEnterLeave(wxMouseEvent& event) {
    hover_ = event.Entering();
    Refresh();
}

void HIconButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    pressed_ = false;
    Refresh();
}

void HIconButton::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_SPACE:
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Click();
        break;
    default:
        event.Skip();
    }
}

void HIconButton::OnFocus(wxFocusEvent& event) {
    Refresh();
    event.Skip();
}

// clang-format off
wxBEGIN_EVENT_TABLE(HIconButton, wxControl)
    EVT_PAINT(HIconButton::OnPaint)
    EVT_LEFT_DOWN(HIconButton::OnLeftDown)
    EVT_LEFT_DCLICK(HIconButton::OnLeftDown)
    EVT_LEFT_UP(HIconButton::OnLeftUp)
    EVT_MOTION(HIconButton::OnMotion)
    EVT_ENTER_WINDOW(HIconButton::OnEnterLeave)
    EVT_LEAVE_WINDOW(HIconButton::OnEnterLeave)
    EVT_MOUSE_CAPTURE_LOST(HIconButton::OnCaptureLost)
    EVT_KEY_DOWN(HIconButton::OnKeyDown)
    EVT_SET_FOCUS(HIconButton::OnFocus)
    EVT_KILL_FOCUS(HIconButton::OnFocus)
wxEND_EVENT_TABLE()
// clang-format on

} // namespace controls
