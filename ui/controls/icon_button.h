#pragma once
// HIconButton: a native push button that shows one icon and sends its own
// window id as a wxEVT_BUTTON command when pressed. Its tool tip is also the
// name a screen reader reads for it, since the icon says nothing to one.
#include <wx/bmpbuttn.h>

namespace controls {

class HIconButton : public wxBitmapButton {
public:
    // Size of the icon the button shows.
    static constexpr int kIconSize = 32;

    HIconButton() = default;
    // Creates the button with the icon of resource iconId (controls::LoadIcon)
    // and a tool tip that also names it. A button given a size smaller than
    // its best shrinks the icon to fit.
    HIconButton(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    bool Create(wxWindow* parent, wxWindowID id, int iconId, const wxString& tip = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // Shows another icon.
    void SetIcon(const wxBitmap& icon);
    const wxBitmap& GetIcon() const { return icon_; }
    // Sends the button's command, as a press does; nothing while disabled.
    bool Click();

private:
    wxBitmap icon_;
};

} // namespace controls
