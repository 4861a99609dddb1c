#include "app/main_frame.h"

#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/textentry.h>

#include "app/about_dialog.h"
#include "app/child_view.h"
#include "ui/panes/file_source.h"
#include "app/window_state.h"
#include "ui/controls/icons.h"
#include "ui/controls/menu_builder.h"
#include "ui/controls/rebar.h"
#include "ui/controls/status_bar.h"
#include "views/desktop/desktop_view.h"
#include "views/desktop/filter_combo.h"
#include "lib/device/device_layer.h"
#include "base/platform/gui/device_monitor.h"
#include "base/platform/gui/help_book.h"
#include "app/help_topics.h"
#include "base/platform/modal_depth.h"
#include "views/player/memory_pane.h"
#include "base/resources/ids.h"
#include "base/resources/menus.h"
#include "base/resources/strings.h"
#include "views/settings/config_dialog.h"
#include "lib/settings/settings_store.h"

namespace {

wxIconBundle AppIcons() {
    wxIconBundle icons;
    for (int size : {16, 32, 48}) {
        wxIcon icon;
        icon.CopyFromBitmap(controls::LoadIcon(ids::kAppIcon, size));
        if (icon.IsOk()) icons.AddIcon(icon);
    }
    return icons;
}

// Whether a drag (it holds the mouse) or a modal dialog runs its own loop.
bool InOwnLoop() {
    if (wxWindow::GetCapture()) return true;
    for (const wxWindow* window : wxTopLevelWindows) {
        const auto* dialog = dynamic_cast<const wxDialog*>(window);
        if (dialog && dialog->IsModal()) return true;
    }
    return false;
}

// Whether the event reached the frame from the client view, which has
// offered it to the focused pane and its own table already (a pane's
// context menu); a command from the menu bar, a key or the frame itself has not.
bool ComesFromView(const wxEvent& event, const wxWindow* view) {
    for (auto* w = dynamic_cast<const wxWindow*>(event.GetPropagatedFrom()); w; w = w->GetParent())
        if (w == view) return true;
    return false;
}

bool IsEditCommand(int id) {
    return id == ids::kEditUndo || id == ids::kEditCut || id == ids::kEditCopy ||
           id == ids::kEditPaste;
}

wxTextEntry* FocusedTextEntry() {
    return dynamic_cast<wxTextEntry*>(wxWindow::FindFocus());
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxFrame)
    EVT_CLOSE(CMainFrame::OnClose)
    EVT_SET_FOCUS(CMainFrame::OnSetFocus)
    EVT_CHILD_FOCUS(CMainFrame::OnChildFocus)
    EVT_COMMAND(wxID_ANY, wxEVT_SD_DEVICE_CHANGE, CMainFrame::OnDeviceChange)
    EVT_IDLE(CMainFrame::OnIdle)
    EVT_CHOICE(ids::kFilterCombo, CMainFrame::OnFilterChange)
    EVT_MENU(ids::kAppExit, CMainFrame::OnExit)
    EVT_MENU(ids::kAppAbout, CMainFrame::OnAbout)
    EVT_MENU(ids::kHelp, CMainFrame::OnHelp)
    EVT_MENU(ids::kOption, CMainFrame::OnOption)
    EVT_MENU(ids::kRefresh, CMainFrame::OnRefresh)
    EVT_MENU(ids::kNextPane, CMainFrame::OnNextPane)
    EVT_MENU(ids::kPrevPane, CMainFrame::OnNextPane)
    EVT_UPDATE_UI(ids::kFirmwarePane, CMainFrame::OnUpdateFirmware)
    EVT_UPDATE_UI(ids::kAppExit, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kAppAbout, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kHelp, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kOption, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kRefresh, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kNextPane, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kPrevPane, CMainFrame::OnUpdateEnabled)
    EVT_UPDATE_UI(ids::kEditUndo, CMainFrame::OnUpdateDisabled)
    EVT_UPDATE_UI(ids::kEditCut, CMainFrame::OnUpdateDisabled)
    EVT_UPDATE_UI(ids::kEditCopy, CMainFrame::OnUpdateDisabled)
    EVT_UPDATE_UI(ids::kEditPaste, CMainFrame::OnUpdateDisabled)
    // Last: a menu item that no handler answers is disabled.
    EVT_UPDATE_UI_RANGE(0, 65535, CMainFrame::OnUpdateMenuItem)
wxEND_EVENT_TABLE()
// clang-format on

CMainFrame::CMainFrame()
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(strings::Load(sid::kAppTitle)),
              wxDefaultPosition, wxSize(960, 640)) {
    // No window: nothing can be built on it (StartSongdock says so and ends).
    if (!GetHandle()) return;
    SetIcons(AppIcons());
    SetMenuBar(controls::BuildMenuBar(menus::MainMenu()).release());
    SetAcceleratorTable(controls::BuildAccelerators(menus::MainAccelerators()));

    view_ = new CChildView(this);
    plugGeneration_ = DevGetPlugGeneration();

    rebar_ = new controls::HReBar(this);
    filter_ = new HFilterCombo();
    filter_->Create(rebar_, ids::kFilterCombo);
    rebar_->SetBand(filter_);
    rebar_->BindToggle();

    status_ = new controls::HStatusBar(this);
    status_->BindToggle();

    DevSetMainWindow(this);
    monitor_ = std::make_unique<platform::DeviceMonitor>(this, DevGetChangeNotifier());
    view_->Reconnect();
    // The keyboard starts in the PC list, not in the filter of the tool bar.
    CallAfter([this] { view_->FocusPane(-1); });
}

CMainFrame::~CMainFrame() {
    monitor_.reset();
    DevSetMainWindow(nullptr);
}

// ---- Routing ----------------------------------------------------------------

bool CMainFrame::IsCommandEnabled(int id) {
    wxUpdateUIEvent update(id);
    update.SetEventObject(this);
    if (!GetEventHandler()->ProcessEvent(update)) return false;
    return !update.GetSetEnabled() || update.GetEnabled();
}

bool CMainFrame::TryBefore(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    // Menu bar, keys, buttons: everything but what bubbles up from the view,
    // which has been offered to the focused pane and the view already.
    if (view_ && (type == wxEVT_MENU || type == wxEVT_UPDATE_UI) && !ComesFromView(event, view_)) {
        // A text field with the focus keeps its editing keys.
        if (IsEditCommand(event.GetId()) && EditText(event)) return true;
        if (type == wxEVT_MENU) {
            // No commands from keys while a drag, a dialog or a transfer runs
            // its own loop, and none that the update rules disable.
            if (InOwnLoop()) return true;
            if (!IsCommandEnabled(event.GetId())) return true;
        }
        if (view_->RouteCommand(event)) return true;
    }
    return wxFrame::TryBefore(event);
}

bool CMainFrame::EditText(wxEvent& event) {
    wxTextEntry* entry = FocusedTextEntry();
    if (!entry) return false;
    const int id = event.GetId();
    if (auto* update = dynamic_cast<wxUpdateUIEvent*>(&event)) {
        update->Enable(id == ids::kEditUndo   ? entry->CanUndo()
                       : id == ids::kEditCut  ? entry->CanCut()
                       : id == ids::kEditCopy ? entry->CanCopy()
                                              : entry->CanPaste());
        return true;
    }
    if (id == ids::kEditUndo && entry->CanUndo()) entry->Undo();
    if (id == ids::kEditCut && entry->CanCut()) entry->Cut();
    if (id == ids::kEditCopy && entry->CanCopy()) entry->Copy();
    if (id == ids::kEditPaste && entry->CanPaste()) entry->Paste();
    return true;
}

void CMainFrame::OnChildFocus(wxChildFocusEvent& event) {
    if (view_) view_->NoteFocus(wxWindow::FindFocus());
    event.Skip();
}

void CMainFrame::OnSetFocus(wxFocusEvent&) {
    if (view_) view_->FocusPane(view_->GetFocusedPane());
}

void CMainFrame::OnNextPane(wxCommandEvent& event) {
    // The panes in order: the desktop view, then each shown memory pane.
    std::vector<wxWindow*> lists;
    auto add = [&lists](HFileSource* source) {
        if (wxWindow* list = source ? source->GetWindow() : nullptr;
            list && list->IsShownOnScreen())
            lists.push_back(list);
    };
    add(view_->GetDesktopView());
    for (int i = 0; HMp3MemView* pane = view_->GetMemFrame()->GetPane(i); ++i)
        add(HMp3MemFrame::SourceOf(pane));
    if (lists.empty()) return;
    const int current = view_->GetFocusedPane();
    int index = current == CChildView::kNoPane ? -1 : (current == -1 ? 0 : current + 1);
    if (index >= static_cast<int>(lists.size())) index = -1;
    const int n = static_cast<int>(lists.size());
    const int step = event.GetId() == ids::kPrevPane ? -1 : 1;
    const int next = index < 0 ? (step > 0 ? 0 : n - 1) : ((index + step) % n + n) % n;
    lists[next]->SetFocus();
    view_->NoteFocus(lists[next]);
}

// ---- Frame commands ---------------------------------------------------------

void CMainFrame::OnClose(wxCloseEvent& event) {
    settings::WriteWindowState(app::ShowCommandOf(*this));
    // A maximised or minimised window keeps the normal place stored before.
    if (const auto place = app::NormalPlaceOf(*this))
        settings::WriteWindowPlace({place->x, place->y, place->width, place->height});
    platform::CloseHelpBook();
    monitor_.reset();
    event.Skip();
}

bool CMainFrame::Busy() const {
    // Message boxes and file dialogs count themselves; the program's own
    // dialogs show as modal windows.
    return platform::OpenModalCount() > 0 || InOwnLoop();
}

void CMainFrame::OnDeviceChange(wxCommandEvent&) {
    if (Busy()) {
        deviceChangePending_ = true;
        return;
    }
    ReadPlayerAgain();
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
    if (deviceChangePending_ && !Busy()) {
        deviceChangePending_ = false;
        ReadPlayerAgain();
    }
    event.Skip();
}

void CMainFrame::ReadPlayerAgain() {
    // The player may have been pulled out, changed and plugged in again
    // within one notice: it is opened anew and its directories are read
    // again, also when the old handle still answers.
    DevClose();
    view_->Reconnect();
    // What the status bar told of the player (a copy's summary) no longer
    // stands once the player was pulled out or plugged in.
    const int64_t generation = DevGetPlugGeneration();
    if (generation != plugGeneration_ && GetStatusBar()) SetStatusText(wxString(), 0);
    plugGeneration_ = generation;
}

void CMainFrame::OnFilterChange(wxCommandEvent&) {
    const int selection = filter_->GetSelection();
    if (selection == 0 || selection == 1)
        settings::SetFileFilter(HFilterCombo::FilterOf(selection));
    view_->RefreshPanes(false);
}

void CMainFrame::OnExit(wxCommandEvent&) {
    Close();
}

void CMainFrame::OnAbout(wxCommandEvent&) {
    CAboutDialog about(this);
    about.ShowModal();
}

void CMainFrame::OnHelp(wxCommandEvent&) {
    app::ShowContextHelp(this);
}

void CMainFrame::OnOption(wxCommandEvent&) {
    ShowConfigurationDialog(this);
}

void CMainFrame::OnRefresh(wxCommandEvent&) {
    // The client view or the focused pane refreshes first.
}

void CMainFrame::OnUpdateFirmware(wxUpdateUIEvent& event) {
    const char* version = DevGetFirmwareVersion();
    if (!version)
        event.SetText(wxString());
    else if (!*version)
        event.SetText(wxString::FromUTF8(strings::Tr(text::kUnknownFirmware)));
    else
        event.SetText(wxString::FromUTF8(version));
}

void CMainFrame::OnUpdateEnabled(wxUpdateUIEvent& event) {
    event.Enable(true);
}

void CMainFrame::OnUpdateDisabled(wxUpdateUIEvent& event) {
    event.Enable(false);
}

void CMainFrame::OnUpdateMenuItem(wxUpdateUIEvent& event) {
    if (dynamic_cast<wxMenu*>(event.GetEventObject()))
        event.Enable(false);
    else
        event.Skip();
}
