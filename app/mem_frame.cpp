#include "app/mem_frame.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/splitter.h>
#include <wx/stattext.h>

#include "base/platform/gui/accessibility.h"
#include "lib/device/device_layer.h"
#include "ui/list/file_list_ctrl.h"
#include "views/player/memory_pane.h"
#include "base/resources/strings.h"

namespace {

// Space between the frame's edge and the splitter.
constexpr int kInset = 5;
// The smallest height of a memory's row: its header and a few rows of its
// list. A smaller frame cuts the rows off rather than squeeze the lists,
// which the toolkit cannot draw below their scroll bars' size.
constexpr int kSmallestRow = 120;
constexpr int kSmallestWidth = 200;

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(HMp3MemFrame, wxNavigationEnabled<wxWindow>)
    EVT_PAINT(HMp3MemFrame::OnPaint)
    EVT_SIZE(HMp3MemFrame::OnSize)
wxEND_EVENT_TABLE()
// clang-format on

HMp3MemFrame::HMp3MemFrame(wxWindow* parent) {
    // A container: Tab goes to the memories' lists, never to the frame.
    Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
           wxFULL_REPAINT_ON_RESIZE | wxTAB_TRAVERSAL, "Mp3Player Explorer");
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    // The notice is a label, so that a screen reader reads it too: it is
    // announced each time it appears, when the player goes away.
    notice_ = new wxStaticText(this, wxID_ANY,
                               wxString::FromUTF8(strings::Load(sid::kPlayerNotConnected)));
    platform::SetAccessibleNotificationRole(notice_);
    // The toolkit takes a label for the label of a window created after it;
    // the notice labels nothing, least of all the memories.
    platform::UntieLabel(notice_);
}

HMp3MemFrame::~HMp3MemFrame() = default;

HMp3MemView* HMp3MemFrame::GetPane(int index) const {
    if (!splitter_) return nullptr;
    if (index >= 0) {
        wxWindow* row = index == 0   ? splitter_->GetWindow1()
                        : index == 1 ? splitter_->GetWindow2()
                                     : nullptr;
        return dynamic_cast<HMp3MemView*>(row);
    }
    // Walk up from the focus to the first window that is a row of the splitter.
    for (wxWindow* w = wxWindow::FindFocus(); w && w != this && w != splitter_;
         w = w->GetParent()) {
        if (w->GetParent() == splitter_) return dynamic_cast<HMp3MemView*>(w);
    }
    return nullptr;
}

long HMp3MemFrame::GetSelectedCount(int index) const {
    const HMp3MemView* pane = GetPane(index);
    return pane ? pane->GetSelectedCount() : 0;
}

bool HMp3MemFrame::CanReceive(int index) const {
    HMp3MemView* pane = GetPane(index);
    return pane && TargetOf(pane)->CanReceive();
}

bool HMp3MemFrame::IsMemoryPresent(int index) const {
    if (index < 0) return memoryCount_ > 0;
    return index < 31 && (memoryMask_ & (1 << index)) != 0;
}

HFileSource* HMp3MemFrame::SourceOf(HMp3MemView* pane) {
    return pane ? static_cast<HFileSource*>(pane) : nullptr;
}

HFileTarget* HMp3MemFrame::TargetOf(HMp3MemView* pane) {
    return pane ? static_cast<HFileTarget*>(pane) : nullptr;
}

void HMp3MemFrame::Reconnect() {
    // A pane's selection and focus outlive an unplug: they are found again
    // by name once the memory is listed after the next plug.
    for (int i = 0; HMp3MemView* pane = GetPane(i); ++i)
        if (pane->GetList()->GetItemCount() > 0) keptRows_[i] = pane->GetList()->KeepNames();
    int count = memoryCount_;
    int mask = memoryMask_;
    if (DevConnect(true, &count, &mask)) {
        memoryCount_ = count;
        memoryMask_ = mask;
    } else {
        memoryCount_ = 0;
    }
    BuildSplitter(memoryCount_);
    UpdatePanes();
    for (int i = 0; HMp3MemView* pane = GetPane(i); ++i) {
        if (pane->GetList()->GetItemCount() == 0) continue;
        pane->GetList()->RestoreNames(keptRows_[i]);
        keptRows_[i] = {};
    }
    TellUnreadablePlayer();
}

void HMp3MemFrame::TellUnreadablePlayer() {
    const bool unreadable = DevDirectoryUnreadable(0) || DevDirectoryUnreadable(1);
    const bool tell = unreadable && !unreadableTold_;
    // Noted before the message, whose event loop may reconnect again.
    unreadableTold_ = unreadable;
    if (tell) DevApi().DispError(this, KD5200_ERR_DIRECTORY, 0);
}

void HMp3MemFrame::UpdatePanes() {
    for (int i = 0; HMp3MemView* pane = GetPane(i); ++i) {
        pane->SetTitle(i == 0 ? sid::kInternalMemory : sid::kExternalMemory);
        pane->FillList(false, i);
    }
}

void HMp3MemFrame::BuildSplitter(int count) {
    if (count <= 0) {
        if (splitter_) splitter_->Hide();
        PlaceNotice();
        Refresh();
        return;
    }
    if (splitter_) {
        splitter_->Show();
    } else {
        splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                         wxSP_3D | wxSP_LIVE_UPDATE);
        splitter_->SetMinimumPaneSize(kSmallestRow);
        splitter_->SetSashGravity(0.5);
        // Placed before its rows are made and split where the rows share the
        // height: each row is laid out at its size once, not through the
        // small splitter's sizes first (a row's layout moves its header and
        // list, which under Wine cost the start-up a few ms each time).
        PlaceSplitter();
        auto* top = new HMp3MemView(splitter_);
        auto* bottom = new HMp3MemView(splitter_);
        splitter_->SplitHorizontally(top, bottom, EqualSashPosition());
        // Until the person drags the sash, the two rows share the height.
        // (Only a drag tells "changing"; the splitter's own moves on a
        // resize tell "changed".)
        splitter_->Bind(wxEVT_SPLITTER_SASH_POS_CHANGING, [this](wxSplitterEvent& event) {
            sashMoved_ = true;
            event.Skip();
        });
    }
    PlaceSplitter();
    PlaceNotice();
    if (!sashMoved_) EqualizeRows();
}

void HMp3MemFrame::PlaceNotice() {
    const bool shown = !splitter_ || !splitter_->IsShown();
    if (shown) {
        const wxSize size = GetClientSize();
        const wxSize text = notice_->GetBestSize();
        notice_->SetSize((size.x - text.x) / 2, (size.y - text.y) / 2, text.x, text.y);
    }
    notice_->Show(shown);
}

void HMp3MemFrame::PlaceSplitter() {
    if (!splitter_) return;
    const wxSize size = GetClientSize();
    splitter_->SetSize(kInset, kInset, std::max(kSmallestWidth, size.x - 2 * kInset),
                       std::max(2 * kSmallestRow + splitter_->GetSashSize(), size.y - 2 * kInset));
}

int HMp3MemFrame::EqualSashPosition() const {
    return (splitter_->GetClientSize().y - splitter_->GetSashSize()) / 2;
}

void HMp3MemFrame::EqualizeRows() {
    if (!splitter_ || !splitter_->IsShown() || !splitter_->IsSplit()) return;
    splitter_->SetSashPosition(EqualSashPosition());
}

void HMp3MemFrame::OnSize(wxSizeEvent& event) {
    PlaceSplitter();
    PlaceNotice();
    if (!sashMoved_ && IsShownOnScreen()) EqualizeRows();
    event.Skip();
}

void HMp3MemFrame::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxRect client = GetClientRect();
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    const wxRect inner = wxRect(client).Deflate(kInset);
    if (inner.IsEmpty()) return;
    // A sunken edge: dark on top and left, light on bottom and right.
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.DrawLine(inner.GetLeft(), inner.GetBottom(), inner.GetLeft(), inner.GetTop());
    dc.DrawLine(inner.GetLeft(), inner.GetTop(), inner.GetRight(), inner.GetTop());
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
    dc.DrawLine(inner.GetRight(), inner.GetTop(), inner.GetRight(), inner.GetBottom());
    dc.DrawLine(inner.GetRight(), inner.GetBottom(), inner.GetLeft() - 1, inner.GetBottom());
}
