#include "ui/controls/rebar.h"

#include "base/resources/ids.h"

namespace controls {

HReBar::HReBar(wxFrame* frame)
    : wxToolBar(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER | wxTB_TOP),
      frame_(frame) {
    frame_->SetToolBar(this);
    // While the frame first comes on screen GTK lays the bar out a few pixels
    // wide, narrower than its own edges, and complains. There the bar comes
    // once the frame has its size; elsewhere it is there from the start.
#ifdef __WXGTK__
    if (frame_->IsShown()) {
        showPending_ = false;
        return;
    }
    wxToolBar::Show(false);
    frame_->Bind(wxEVT_SHOW, &HReBar::OnFrameShown, this);
#else
    showPending_ = false;
#endif
}

void HReBar::OnFrameShown(wxShowEvent& event) {
    event.Skip();
    if (!event.IsShown() || !showPending_) return;
    frame_->Unbind(wxEVT_SHOW, &HReBar::OnFrameShown, this);
    CallAfter([this] {
        if (!showPending_) return;
        showPending_ = false;
        wxToolBar::Show(true);
        frame_->SendSizeEvent();
    });
}

bool HReBar::Show(bool show) {
    showPending_ = false;
    return wxToolBar::Show(show);
}

bool HReBar::IsShown() const {
    return showPending_ || wxToolBar::IsShown();
}

bool HReBar::SetBand(wxControl* control) {
    if (!control || control->GetParent() != this) return false;
    if (band_) DeleteTool(band_->GetId());
    band_ = control;
    AddControl(control);
    Realize();
    frame_->SendSizeEvent();
    return true;
}

void HReBar::ShowBar(bool show) {
    if (show == IsShown()) return;
    Show(show);
    frame_->SendSizeEvent();
}

void HReBar::BindToggle() {
    frame_->Bind(wxEVT_MENU, &HReBar::OnToggle, this, ids::kViewToolBar);
    frame_->Bind(wxEVT_UPDATE_UI, &HReBar::OnUpdateToggle, this, ids::kViewToolBar);
}

void HReBar::OnToggle(wxCommandEvent&) {
    ShowBar(!IsShown());
}

void HReBar::OnUpdateToggle(wxUpdateUIEvent& event) {
    event.Check(IsShown());
}

} // namespace controls
