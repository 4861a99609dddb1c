#pragma once
// HIconButton: a push button that shows one icon and sends its own window id
// as a wxEVT_BUTTON command when clicked.
#include <wx/bitmap.h>
#include <wx/control.h>

namespace controls {

class HIconButton : public wxControl {
public:
    // Size of the icon the button shows, and the margin around it.
    static constexpr int kIconSize = 32;
    static constexpr int kMargin = 2;

    HIconButton() = default;
    // Creates the button with the icon of resource iconId (controls::LoadIcon)
    // and an optional tool tip. Its size is kIconSize + 2 * kMargin square
    // unless size says otherwise; a smaller button shrinks the icon to fit.
    HIconButton(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    bool Create(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // Shows another icon.
    void SetIcon(const wxBitmap& icon);
    const wxBitmap& GetIcon() const { return icon_; }
    // The rectangle, in client coordinates, in which the icon is drawn.
    wxRect IconRect() const;
    // Sends the button's command, as a click does; nothing while disabled.
    bool Click();

    bool AcceptsFocus() const override { return IsEnabled(); }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnEnterLeave(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);

    wxBitmap icon_;
    wxBitmap disabledIcon_;
    bool pressed_ = false;
    bool hover_ = false;

    wxDECLARE_EVENT_TABLE();
};

} // namespace controls
