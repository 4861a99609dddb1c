#include "app/child_view.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "ui/panes/file_source.h"
#include "ui/panes/file_target.h"
#include "ui/controls/icon_button.h"
#include "views/desktop/desktop_view.h"
#include "views/maint/maintenance_commands.h"
#include "views/maint/raw_data_command.h"
#include "views/player/memory_pane.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

namespace {

// The transfer buttons in creation order, with their icon and tool tip.
struct ButtonSpec {
    int id;
    int icon;
    int tip;
};
constexpr ButtonSpec kButtons[4] = {
    {ids::kDownloadToInternal, ids::kDownloadIcon, sid::kTipDownloadInternal},
    {ids::kDownloadToExternal, ids::kDownloadIcon, sid::kTipDownloadExternal},
    {ids::kUploadFromInternal, ids::kUploadIcon, sid::kTipUploadInternal},
    {ids::kUploadFromExternal, ids::kUploadIcon, sid::kTipUploadExternal},
};
constexpr int kButtonSize = 36;

bool IsLowFormat(int id) {
    return id == ids::kLowFormatInternal || id == ids::kLowFormatExternal ||
           id == ids::kLowFormatAll;
}

// Memory of a single-memory format command; -1 for the "All" commands.
int FormatMemoryOf(int id) {
    if (id == ids::kFormatInternal || id == ids::kLowFormatInternal) return 0;
    if (id == ids::kFormatExternal || id == ids::kLowFormatExternal) return 1;
    return -1;
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CChildView, wxWindow)
    EVT_PAINT(CChildView::OnPaint)
    EVT_SIZE(CChildView::OnSize)
    EVT_BUTTON(ids::kDownloadToInternal, CChildView::OnButton)
    EVT_BUTTON(ids::kDownloadToExternal, CChildView::OnButton)
    EVT_BUTTON(ids::kUploadFromInternal, CChildView::OnButton)
    EVT_BUTTON(ids::kUploadFromExternal, CChildView::OnButton)
    EVT_MENU(ids::kDownloadToInternal, CChildView::OnDownloadInternal)
    EVT_MENU(ids::kDownloadToExternal, CChildView::OnDownloadExternal)
    EVT_MENU(ids::kUploadFromInternal, CChildView::OnUploadInternal)
    EVT_MENU(ids::kUploadFromExternal, CChildView::OnUploadExternal)
    EVT_UPDATE_UI(ids::kDownloadToInternal, CChildView::OnUpdateDownloadInternal)
    EVT_UPDATE_UI(ids::kDownloadToExternal, CChildView::OnUpdateDownloadExternal)
    EVT_UPDATE_UI(ids::kUploadFromInternal, CChildView::OnUpdateUploadInternal)
    EVT_UPDATE_UI(ids::kUploadFromExternal, CChildView::OnUpdateUploadExternal)
    EVT_MENU(ids::kFormatInternal, CChildView::OnFormat)
    EVT_MENU(ids::kFormatExternal, CChildView::OnFormat)
    EVT_MENU(ids::kFormatAll, CChildView::OnFormat)
    EVT_MENU(ids::kLowFormatInternal, CChildView::OnFormat)
    EVT_MENU(ids::kLowFormatExternal, CChildView::OnFormat)
    EVT_MENU(ids::kLowFormatAll, CChildView::OnFormat)
    EVT_UPDATE_UI(ids::kFormatInternal, CChildView::OnUpdateFormat)
    EVT_UPDATE_UI(ids::kFormatExternal, CChildView::OnUpdateFormat)
    EVT_UPDATE_UI(ids::kFormatAll, CChildView::OnUpdateFormat)
    EVT_UPDATE_UI(ids::kLowFormatInternal, CChildView::OnUpdateFormat)
    EVT_UPDATE_UI(ids::kLowFormatExternal, CChildView::OnUpdateFormat)
    EVT_UPDATE_UI(ids::kLowFormatAll, CChildView::OnUpdateFormat)
    EVT_MENU(ids::kRefresh, CChildView::OnRefresh)
    EVT_UPDATE_UI(ids::kRefresh, CChildView::OnUpdateAlways)
wxEND_EVENT_TABLE()
// clang-format on

CChildView::CChildView(wxWindow* parent) {
    // Tab moves between the children: the PC list, the transfer buttons and
    // the memories.
    Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
           wxBORDER_SUNKEN | wxFULL_REPAINT_ON_RESIZE | wxTAB_TRAVERSAL);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    desktop_ = new HDesktopView();
    desktop_->Create(this, 0);
    memFrame_ = new HMp3MemFrame(this);
    for (int i = 0; i < 4; ++i) {
        const ButtonSpec& b = kButtons[i];
        buttons_[i] =
            new controls::HIconButton(this, b.id, b.icon, wxString::FromUTF8(strings::Load(b.tip)),
                                      wxPoint(0, 0), wxSize(kButtonSize, kButtonSize));
    }
    // Tab goes from the PC list to the transfer buttons, then to the memories.
    wxWindow* previous = desktop_;
    for (int i : {0, 2, 1, 3}) {
        buttons_[i]->MoveAfterInTabOrder(previous);
        previous = buttons_[i];
    }
    RecalcLayout();

    MaintenanceCommands::Hooks hooks;
    hooks.memoryCount = [this] { return memFrame_->GetMemoryCount(); };
    hooks.memoryMask = [this] { return memFrame_->GetMemoryMask(); };
    hooks.updatePanes = [this] { memFrame_->UpdatePanes(); };
    hooks.targetFolder = [this] { return static_cast<HFileTarget*>(desktop_)->GetTargetFolder(); };
    hooks.relistDesktop = [this] { desktop_->ShowNode(nullptr); };
    maintenance_ = std::make_unique<MaintenanceCommands>(this, std::move(hooks));
    // A memory pane's "Download Raw Data" reads its own memory.
    HMp3MemView::SetRawDataHandler(
        [](wxWindow* parent, int memory) { DownloadRawData(parent, memory); });
}

CChildView::~CChildView() = default;

wxWindow* CChildView::GetPane(int index) const {
    if (index == -1) return desktop_;
    return memFrame_->GetPane(index);
}

HMp3MemView* CChildView::MemoryPane(int index) const {
    return memFrame_->GetPane(index);
}

// ---- Layout ---------------------------------------------------------------

void CChildView::OnSize(wxSizeEvent& event) {
    Layout(GetClientRect());
    event.Skip();
}

void CChildView::Layout(const wxRect& client) {
    left_.y = right_.y = client.y;
    left_.height = right_.height = client.height;
    const int width = client.width;
    if (width < kGap) {
        left_.x = client.x - 1;
        left_.width = 0;
        right_.x = client.GetRight() + 1;
        right_.width = 0;
    } else {
        const int grown = width - kGap - left_.width - right_.width;
        left_.x = client.x;
        left_.width = left_.width + grown / 2;
        right_.x = left_.x + left_.width + kGap;
        right_.width = client.GetRight() + 1 - right_.x;
    }
    RecalcLayout();
}

void CChildView::RecalcLayout() {
    desktop_->SetSize(left_);
    memFrame_->SetSize(right_);
    const int x = (left_.GetRight() + 1 + right_.x) / 2 - kButtonSize / 2;
    const int bottom = right_.GetBottom() + 1;
    buttons_[0]->Move(x, right_.y + 60);  // 143
    buttons_[2]->Move(x, right_.y + 101); // 144
    buttons_[1]->Move(x, bottom - 137);   // 146
    buttons_[3]->Move(x, bottom - 96);    // 147
}

void CChildView::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
}

// ---- Connection -------------------------------------------------------------

void CChildView::Reconnect() {
    const int had = GetFocusedPane();
    if (had >= 0) refocusPane_ = had;
    memFrame_->Reconnect();
    HFileSource* desktopSource = desktop_;
    HFileTarget* desktopTarget = desktop_;
    desktopSource->RemoveAllPeers();
    for (int i = 0; HMp3MemView* pane = MemoryPane(i); ++i) {
        desktopSource->AddPeer(HMp3MemFrame::TargetOf(pane));
        HFileSource* source = HMp3MemFrame::SourceOf(pane);
        source->RemoveAllPeers();
        source->AddPeer(desktopTarget);
    }
    // The focus stays in a list: in the memory pane that had it, once that
    // pane is back, and meanwhile in the desktop view.
    if (refocusPane_ >= 0) {
        const HMp3MemView* pane = MemoryPane(refocusPane_);
        if (pane && pane->IsShownOnScreen() && pane->IsConnected()) {
            FocusPane(refocusPane_);
            refocusPane_ = kNoPane;
        } else if (had >= 0) {
            FocusPane(-1);
        }
    }
}

void CChildView::RefreshPanes(bool reread) {
    desktop_->ShowNode(nullptr);
    for (int i = 0; HMp3MemView* pane = MemoryPane(i); ++i)
        pane->FillList(reread, -1);
}

// ---- Routing ----------------------------------------------------------------

void CChildView::NoteFocus(wxWindow* focus) {
    focusedPane_ = kNoPane;
    for (wxWindow* w = focus; w && w != this; w = w->GetParent()) {
        if (w == desktop_) {
            focusedPane_ = -1;
            return;
        }
        for (int i = 0; HMp3MemView* pane = MemoryPane(i); ++i) {
            if (w == pane) {
                focusedPane_ = i;
                return;
            }
        }
    }
}

int CChildView::GetFocusedPane() {
    // The focus as the toolkit knows it now; the last child focus event
    // stands in while no window of the program has it.
    if (wxWindow* focus = wxWindow::FindFocus()) NoteFocus(focus);
    return focusedPane_;
}

void CChildView::FocusPane(int pane) {
    wxWindow* list = desktop_->GetWindow();
    if (HMp3MemView* memory = pane >= 0 ? MemoryPane(pane) : nullptr)
        if (wxWindow* own = HMp3MemFrame::SourceOf(memory)->GetWindow(); own->IsShownOnScreen())
            list = own;
    list->SetFocus();
    NoteFocus(list);
}

bool CChildView::RouteCommand(wxEvent& event) {
    GetFocusedPane();
    wxWindow* pane = nullptr;
    if (focusedPane_ == -1)
        pane = desktop_;
    else if (focusedPane_ >= 0)
        pane = MemoryPane(focusedPane_);
    if (pane && pane->IsShownOnScreen() && pane->GetEventHandler()->ProcessEventLocally(event))
        return true;
    return GetEventHandler()->ProcessEventLocally(event) ||
           maintenance_->ProcessEventLocally(event);
}

// ---- Transfer buttons ---------------------------------------------------------

void CChildView::OnButton(wxCommandEvent& event) {
    // A button sends its command as a menu command through the main window,
    // so that the same table and the same enabling rules handle both.
    wxCommandEvent command(wxEVT_MENU, event.GetId());
    command.SetEventObject(this);
    wxWindow* top = wxGetTopLevelParent(this);
    (top ? top : this)->GetEventHandler()->ProcessEvent(command);
}

void CChildView::SendToPane(int memory) {
    HFileSource* source = desktop_;
    source->SendTo(HMp3MemFrame::TargetOf(MemoryPane(memory)));
}

void CChildView::ReceiveFromPane(int memory) {
    if (HMp3MemView* pane = MemoryPane(memory))
        HMp3MemFrame::SourceOf(pane)->SendTo(static_cast<HFileTarget*>(desktop_));
}

void CChildView::OnDownloadInternal(wxCommandEvent&) {
    SendToPane(0);
}
void CChildView::OnDownloadExternal(wxCommandEvent&) {
    SendToPane(1);
}
void CChildView::OnUploadInternal(wxCommandEvent&) {
    ReceiveFromPane(0);
}
void CChildView::OnUploadExternal(wxCommandEvent&) {
    ReceiveFromPane(1);
}

void CChildView::OnUpdateDownloadInternal(wxUpdateUIEvent& event) {
    event.Enable(desktop_->CountSelectedFiles() > 0 && memFrame_->CanReceive(0));
}
void CChildView::OnUpdateDownloadExternal(wxUpdateUIEvent& event) {
    event.Enable(desktop_->CountSelectedFiles() > 0 && memFrame_->CanReceive(1));
}
void CChildView::OnUpdateUploadInternal(wxUpdateUIEvent& event) {
    event.Enable(memFrame_->GetSelectedCount(0) > 0 &&
                 static_cast<HFileTarget*>(desktop_)->CanReceive());
}
void CChildView::OnUpdateUploadExternal(wxUpdateUIEvent& event) {
    event.Enable(memFrame_->GetSelectedCount(1) > 0 &&
                 static_cast<HFileTarget*>(desktop_)->CanReceive());
}

// ---- Format ---------------------------------------------------------------------

bool CChildView::SingleFormatEnabled(int memory) const {
    const HMp3MemView* pane = MemoryPane(memory);
    return memory < memFrame_->GetMemoryCount() && memFrame_->IsMemoryPresent(memory) && pane &&
           pane->IsEnabled();
}

int CChildView::FormatSingle(int memory, bool low) {
    if (!SingleFormatEnabled(memory)) return 0;
    HMp3MemView* pane = MemoryPane(memory);
    return pane->FormatMemory(low, pane->GetMemory());
}

void CChildView::FormatAll(bool low) {
    for (int i = 0; i < memFrame_->GetMemoryCount(); ++i) {
        HMp3MemView* pane = MemoryPane(i);
        if (!memFrame_->IsMemoryPresent(i) || !pane || !pane->IsConnected()) continue;
        if (pane->FormatMemory(low, pane->GetMemory()) == 0) break;
    }
}

void CChildView::OnFormat(wxCommandEvent& event) {
    const int memory = FormatMemoryOf(event.GetId());
    if (memory < 0)
        FormatAll(IsLowFormat(event.GetId()));
    else
        FormatSingle(memory, IsLowFormat(event.GetId()));
}

void CChildView::OnUpdateFormat(wxUpdateUIEvent& event) {
    const int memory = FormatMemoryOf(event.GetId());
    event.Enable(memory < 0 ? memFrame_->GetMemoryMask() != 0 : SingleFormatEnabled(memory));
}

// ---- Refresh ----------------------------------------------------------------------

void CChildView::OnRefresh(wxCommandEvent&) {
    RefreshPanes(true);
}

void CChildView::OnUpdateAlways(wxUpdateUIEvent& event) {
    event.Enable(true);
}
