#include "ui/controls/status_bar.h"

#include <algorithm>
#include <array>

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "base/platform/gui/accessibility.h"
#include "base/platform/modal_depth.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

namespace controls {
namespace {

constexpr std::array<int, 5> kIndicators = {0, ids::kIndicatorCaps, ids::kIndicatorNum,
                                            ids::kIndicatorScroll, ids::kFirmwarePane};

// The text that sizes an indicator pane, and that it shows when on.
wxString IndicatorText(int id) {
    switch (id) {
    case ids::kIndicatorCaps:
        return "CAP";
    case ids::kIndicatorNum:
        return "NUM";
    case ids::kIndicatorScroll:
        return "SCRL";
    default: {
        const char* text = strings::Load(id);
        return text ? wxString::FromUTF8(text) : wxString();
    }
    }
}

// The keyboard state behind a key indicator.
bool KeyIndicatorOn(int id) {
    switch (id) {
    case ids::kIndicatorCaps:
        return wxGetKeyState(WXK_CAPITAL);
    case ids::kIndicatorNum:
        return wxGetKeyState(WXK_NUMLOCK);
    case ids::kIndicatorScroll:
        return wxGetKeyState(WXK_SCROLL);
    default:
        return false;
    }
}

} // namespace

std::span<const int> HStatusBar::Indicators() {
    return kIndicators;
}

HStatusBar::HStatusBar(wxFrame* frame)
    : wxStatusBar(frame, wxID_ANY, wxSTB_DEFAULT_STYLE), frame_(frame) {
    std::array<int, kIndicators.size()> widths{};
    std::array<int, kIndicators.size()> styles{};
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    for (size_t i = 0; i < kIndicators.size(); ++i) {
        styles[i] = wxSB_SUNKEN;
        if (kIndicators[i] == 0) {
            widths[i] = -1; // the message pane takes what is left
            styles[i] = wxSB_NORMAL;
        } else {
            widths[i] = dc.GetTextExtent(IndicatorText(kIndicators[i])).x + 2 * dc.GetCharWidth();
        }
        // The size grip sits inside the last pane.
        if (i + 1 == kIndicators.size())
            widths[i] += wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, this) + 8;
    }
    SetFieldsCount(static_cast<int>(kIndicators.size()), widths.data());
    SetStatusStyles(static_cast<int>(kIndicators.size()), styles.data());
    // Each pane's text is a label, so that a screen reader reads it; the
    // bar itself paints nothing but its background.
    for (size_t i = 0; i < kIndicators.size(); ++i)
        labels_.push_back(new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition,
                                           wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END));
    // Found by a screen reader's command that reads the status bar.
    platform::SetAccessibleStatusBarRole(this);
    announcer_ = std::make_unique<platform::Announcer>(this);
    frame_->SetStatusBar(this);
    Bind(wxEVT_IDLE, &HStatusBar::OnIdle, this);
    Bind(wxEVT_SIZE, &HStatusBar::OnSize, this);
    Bind(wxEVT_PAINT, &HStatusBar::OnPaint, this);
    PlaceLabels();
}

HStatusBar::~HStatusBar() = default;

void HStatusBar::Announce(const wxString& text) {
    SetStatusText(text, 0);
    announcer_->Announce(text);
}

void AnnounceInStatusBar(wxWindow* window, const wxString& text) {
    auto* frame = window ? wxDynamicCast(wxGetTopLevelParent(window), wxFrame) : nullptr;
    if (!frame || !frame->GetStatusBar()) return;
    if (auto* bar = dynamic_cast<HStatusBar*>(frame->GetStatusBar()))
        bar->Announce(text);
    else
        frame->SetStatusText(text);
}

void HStatusBar::DoUpdateStatusText(int field) {
    if (field >= 0 && static_cast<size_t>(field) < labels_.size())
        labels_[static_cast<size_t>(field)]->SetLabel(GetStatusText(field));
}

void HStatusBar::PlaceLabels() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        wxRect field;
        if (!GetFieldRect(static_cast<int>(i), field)) continue;
        const int height = labels_[i]->GetBestSize().y;
        labels_[i]->SetSize(field.x + 2, field.y + (field.height - height) / 2,
                            std::max(field.width - 4, 0), height);
    }
}

void HStatusBar::OnSize(wxSizeEvent& event) {
    event.Skip();
    PlaceLabels();
}

void HStatusBar::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
}

int HStatusBar::CommandToIndex(int id) const {
    const auto it = std::find(kIndicators.begin(), kIndicators.end(), id);
    return it == kIndicators.end() ? -1 : static_cast<int>(it - kIndicators.begin());
}

int HStatusBar::GetPaneId(int index) const {
    return index >= 0 && index < static_cast<int>(kIndicators.size()) ? kIndicators[index] : -1;
}

void HStatusBar::SetPaneText(int id, const wxString& text) {
    const int index = CommandToIndex(id);
    if (index >= 0 && GetStatusText(index) != text) SetStatusText(text, index);
}

wxString HStatusBar::GetPaneText(int id) const {
    const int index = CommandToIndex(id);
    return index >= 0 ? GetStatusText(index) : wxString();
}

void HStatusBar::UpdatePanes() {
    for (int id : kIndicators) {
        if (id == 0) continue;
        wxUpdateUIEvent event(id);
        event.SetEventObject(this);
        frame_->ProcessWindowEvent(event);
        bool on;
        wxString text = IndicatorText(id);
        if (event.GetSetText()) {
            text = event.GetText();
            on = !event.GetSetEnabled() || event.GetEnabled();
        } else if (event.GetSetEnabled()) {
            on = event.GetEnabled();
        } else {
            on = KeyIndicatorOn(id);
        }
        SetPaneText(id, on ? text : wxString());
    }
}

void HStatusBar::ShowBar(bool show) {
    if (show == IsShown()) return;
    Show(show);
    frame_->SendSizeEvent();
}

void HStatusBar::BindToggle() {
    frame_->Bind(wxEVT_MENU, &HStatusBar::OnToggle, this, ids::kViewStatusBar);
    frame_->Bind(wxEVT_UPDATE_UI, &HStatusBar::OnUpdateToggle, this, ids::kViewStatusBar);
}

void HStatusBar::OnIdle(wxIdleEvent& event) {
    // While a question is open or a device call runs off the window thread,
    // the panes wait: the firmware pane asks the player, which is busy.
    if (IsShown() && platform::OpenModalCount() == 0) UpdatePanes();
    event.Skip();
}

void HStatusBar::OnToggle(wxCommandEvent&) {
    ShowBar(!IsShown());
}

void HStatusBar::OnUpdateToggle(wxUpdateUIEvent& event) {
    event.Check(IsShown());
}

} // namespace controls
