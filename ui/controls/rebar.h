#pragma once
// HReBar: the main window's top bar. It holds one control as its band (the
// file filter) and is shown or hidden by the View menu's "&Tool Bar" toggle.
#include <wx/frame.h>
#include <wx/toolbar.h>

namespace controls {

class HReBar : public wxToolBar {
public:
    // Creates the bar on frame and makes it the frame's tool bar.
    explicit HReBar(wxFrame* frame);

    // Puts control into the bar as its band; the control must have been
    // created with this bar as its parent. A second call replaces the band.
    bool SetBand(wxControl* control);
    wxControl* GetBand() const { return band_; }

    // Shows or hides the bar and lays the frame out again.
    void ShowBar(bool show);
    // Shown counts from the start, though the bar comes on screen only once
    // the frame is there.
    bool Show(bool show = true) override;
    bool IsShown() const override;

    // Makes the frame handle the "&Tool Bar" command (ids::kViewToolBar) and
    // its update handler (checked while the bar is shown) through this bar.
    void BindToggle();

private:
    void OnToggle(wxCommandEvent& event);
    void OnUpdateToggle(wxUpdateUIEvent& event);
    void OnFrameShown(wxShowEvent& event);

    wxFrame* frame_;
    wxControl* band_ = nullptr;
    bool showPending_ = true; // shown once the frame is on screen
};

} // namespace controls
