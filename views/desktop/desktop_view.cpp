#include "views/desktop/desktop_view.h"

#include "ui/controls/icon_button.h"
#include "ui/controls/icons.h"
#include "ui/controls/menu_builder.h"
#include "lib/lists/file_rows.h"
#include "views/desktop/folder_combo.h"
#include "ui/list/drag_image.h"
#include "lib/lists/name_list.h"
#include "views/desktop/properties_dialog.h"
#include "views/desktop/share_listing.h"
#include "lib/lists/system_error.h"
#include "lib/device/device_layer.h"
#include "base/platform/gui/accessibility.h"
#include "base/platform/gui/shell_info.h"
#include "base/platform/descriptors.h"
#include "base/platform/folder_files.h"
#include "base/platform/launcher.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/platform/path_text.h"
#include "base/platform/trash.h"
#include "base/resources/ids.h"
#include "base/resources/menus.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

#include <cerrno>
#include <cstdio>

#include <wx/settings.h>
#include <wx/utils.h>

using desktop::DesktopRow;
using desktop::RowKind;

namespace {

constexpr int kDesktopPane = -1;
// The size below which the view's parts are cut off rather than squeezed.
const wxSize kSmallest(200, 160);

using strings::Text;

// The names under which an uploaded player file may have arrived: its own,
// the device layer's safe name, and that name with a recording's extension
// turned into WAV when recordings are converted.
void AddArrivalNames(const std::string& name, HNameList& names) {
    const std::string part = FileNamePart(name);
    names.Add(part.c_str(), 0, 0);
    // The device layer makes a player name safe as a whole ("a/b" -> "a_b").
    const std::string safe = DevSafeFileName(name);
    if (safe != part) names.Add(safe.c_str(), 0, 0);
    std::vector<char> wav(safe.size() + 8);
    if ((settings::GetAdpcmConvert() == 0 &&
         DevReplaceExtension(safe.c_str(), "QKA", "WAV", wav.data(), int(wav.size()))) ||
        (settings::GetQdxConvert() == 0 &&
         DevReplaceExtension(safe.c_str(), "QDX", "WAV", wav.data(), int(wav.size()))))
        names.Add(wav.data(), 0, 0);
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(HDesktopView, wxNavigationEnabled<wxWindow>)
    EVT_SIZE(HDesktopView::OnSize)
    EVT_FOLDER_SELECTED(ids::kFolderCombo, HDesktopView::OnFolderSelected)
    EVT_BUTTON(ids::kUpButton, HDesktopView::OnUp)
    EVT_LIST_COL_CLICK(ids::kDesktopList, HDesktopView::OnColumnClick)
    EVT_LIST_BEGIN_DRAG(ids::kDesktopList, HDesktopView::OnBeginDrag)
    EVT_LIST_ITEM_ACTIVATED(ids::kDesktopList, HDesktopView::OnActivated)
    EVT_LIST_KEY_DOWN(ids::kDesktopList, HDesktopView::OnKeyDown)
    EVT_CHAR_HOOK(HDesktopView::OnCharHook)
    EVT_LIST_ITEM_RIGHT_CLICK(ids::kDesktopList, HDesktopView::OnRightClick)
    EVT_CONTEXT_MENU(HDesktopView::OnContextMenu)
    EVT_MENU(ids::kDelete, HDesktopView::OnDelete)
    EVT_UPDATE_UI(ids::kDelete, HDesktopView::OnUpdateDelete)
    EVT_MENU(ids::kProperties, HDesktopView::OnProperties)
    EVT_UPDATE_UI(ids::kProperties, HDesktopView::OnUpdateProperties)
wxEND_EVENT_TABLE()
// clang-format on

HDesktopView::~HDesktopView() {
    SaveColumnWidths();
    if (list_) list_->SetSource(nullptr);
}

bool HDesktopView::Create(wxWindow* parent, wxWindowID id) {
    ready_ = false;
    // A container: Tab goes to its children, never to the view itself.
    if (!wxWindow::Create(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL,
                          wxString::FromUTF8(strings::Tr(text::kDesktopExplorer))))
        return false;
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

    up_ = new controls::HIconButton(this, ids::kUpButton, ids::kUpIcon,
                                    wxString::FromUTF8(strings::Tr(text::kUpOneLevel)), wxPoint(0, 0),
                                    wxSize(28, 24));

    list_ = new HFileListCtrl(this, ids::kDesktopList, wxBORDER_SUNKEN);
    const int titles[4] = {sid::kColName, sid::kColSize, sid::kColType, sid::kColDate};
    const wxListColumnFormat formats[4] = {wxLIST_FORMAT_LEFT, wxLIST_FORMAT_RIGHT,
                                           wxLIST_FORMAT_LEFT, wxLIST_FORMAT_LEFT};
    for (int c = 0; c < 4; ++c)
        list_->AppendColumnWidth(wxString::FromUTF8(Text(titles[c])), formats[c],
                                 settings::GetColumnWidth(kDesktopPane, c, 0));
    // The tree images (drives, network) come first, then one icon per kind of file.
    // The folder drop-down shows the same images: drawn once for both.
    const wxVector<wxBitmapBundle> treeImages = controls::TreeImageBundles();
    for (int i = 0; i < controls::kTreeImageCount; ++i) {
        const int index = kinds_.AddImage(treeImages[i]);
        if (i == 0) treeImageBase_ = index;
    }
    list_->SetKinds(&kinds_);
    list_->SetSource(this);

    combo_ = new HFolderCombo();
    combo_->Create(this, ids::kFolderCombo, wxPoint(5, 5), wxSize(250, -1));
    combo_->SetImages(treeImages);
    combo_->CreateDropDown(300, 200);
    // Start from the remembered folder, not the current directory's chain.
    combo_->Prune(false);
    combo_->GoToPath(settings::GetLastDirectory());
    if (!combo_->GetCurrentNode()) combo_->GoToPath(platform::CurrentDirectory());
    settings::SetLastDirectoryFrozen(false);

    // Tab goes in reading order: the folder, the Up button, the list.
    combo_->MoveBeforeInTabOrder(up_);
    ready_ = true;
    LayoutChildren();
    CallAfter([this] { ShowNode(nullptr); });
    return true;
}

void HDesktopView::LayoutChildren() {
    if (!combo_) return;
    const wxSize size = GetClientSize();
    // No part is made smaller than the toolkit can draw it (it complains,
    // and draws nonsense): a pane too small for them cuts them off instead.
    const int cx = std::max(size.x, kSmallest.x), cy = std::max(size.y, kSmallest.y);
    combo_->SetSize(5, 5, cx - 43, -1);
    combo_->SetDropDownWidth(std::max(cx - 43, 250));
    const int h = combo_->GetSize().y;
    up_->SetSize(cx - 33, 5, 28, h);
    list_->SetSize(5, h + 10, cx - 10, cy - h - 15);
}

void HDesktopView::OnSize(wxSizeEvent& event) {
    LayoutChildren();
    event.Skip();
}

void HDesktopView::SaveColumnWidths() {
    if (!list_) return;
    // Only widths the person set: a width fitted to one listing would cut
    // the texts of every later one.
    for (int c = 0; c < list_->ColumnCount(); ++c)
        if (const int width = list_->GetStoredColumnWidth(c); width > 0)
            settings::WriteColumnWidth(kDesktopPane, c, width);
}

// ---- Listing ---------------------------------------------------------------

void HDesktopView::ShowNode(HFolderNode* node) {
    // What the list showed: a re-list of the same place keeps its selection
    // and focus, and the place left upwards is selected in its parent.
    const std::string before = shownPath_;
    const HFileListCtrl::NamedRows kept = list_->KeepNames();
    shownPath_.clear();
    rows_.clear();
    dateTexts_.clear();
    icons_.clear();
    list_->ShowRows(0);
    if (!node) node = combo_->GetCurrentNode();
    if (!node) return;
    // The table is called by the folder it shows, and the folder drop-down
    // tells it as its choice.
    list_->SetTableName(platform::PathToDisplayText(node->name));
    platform::SetAccessibleDescription(combo_, platform::PathToDisplayText(node->name));

    bool listed = true;
    if (node->kind == folder_kind::kDesktop) {
        // The all-users desktop has no counterpart here: the user's own only.
        listed = ListFolderInto(node->path);
    } else if (node->kind == folder_kind::kNetwork || node->network) {
        listed = ListNetwork(*node);
    } else if (node->kind == folder_kind::kComputer) {
        ListDrives();
    } else if (!node->path.empty()) {
        listed = ListFolderInto(node->path);
    }
    // A failed listing has moved to the parent node, which is listed by now.
    if (!listed) return;
    dateTexts_.assign(rows_.size(), std::string());
    icons_.assign(rows_.size(), -2);
    list_->ShowRows(rows_.size());
    SortList(settings::GetSortKey(kDesktopPane), settings::GetSortAscendent(kDesktopPane, 1) != 0);
    shownPath_ = node->path;
    if (list_->GetItemCount() == 0) return;
    if (!before.empty() && before == shownPath_) {
        list_->RestoreNames(kept);
        // A re-list keeps its current row; without one, the first.
        list_->FocusRow(std::max(list_->GetFocusedRow(), 0L), true);
        return;
    }
    if (!before.empty())
        for (long row = 0; row < list_->GetItemCount(); ++row)
            if (RowAt(row).path == before) {
                list_->SelectOnly(row);
                return;
            }
    // A new place starts on its first row: the sort has carried the current
    // row along with its file, which may now be anywhere.
    list_->FocusRow(0);
}

bool HDesktopView::ListFolderInto(const std::string& path, const platform::NetworkPlace* share) {
    const size_t first = rows_.size();
    const auto list = [&] {
        wxBusyCursor wait;
        rows_.resize(first);
        return desktop::ListFolder(path, settings::GetFileFilter(), rows_);
    };
    // A share that wants a password asks for it; a cancel goes back quietly.
    const auto connect = [&] { return platform::ConnectNetworkPlace(*share, GetHandle()); };
    const int error = share ? desktop::ListShareFolder(list, connect) : list();
    if (share && error == ECANCELED) {
        rows_.resize(first);
        combo_->GoUp();
        return false;
    }
    if (error) {
        rows_.resize(first);
        ShowSystemErrorAbout(FileNamePart(path), error,
                             static_cast<void*>(static_cast<wxWindow*>(this)));
        combo_->GoUp();
        return false;
    }
    for (size_t i = first; i < rows_.size(); ++i) {
        DesktopRow& row = rows_[i];
        row.type = kinds_.TypeName(row.path, row.directory);
        row.image = -2; // looked up when first shown
    }
    return true;
}

void HDesktopView::ListDrives() {
    for (DesktopRow& row : desktop::DriveRows(platform::ListVolumes())) {
        row.image += treeImageBase_;
        rows_.push_back(std::move(row));
    }
}

bool HDesktopView::ListNetwork(const HFolderNode& node) {
    const std::optional<platform::NetworkPlace>& resource = node.network;
    if (resource && resource->display == platform::net_display::kShare)
        return ListFolderInto(desktop::SharePath(*resource), &*resource);
    platform::NetworkListing listing;
    {
        wxBusyCursor wait;
        listing = platform::ListNetworkPlaces(resource ? &*resource : nullptr);
    }
    // A network that cannot be browsed is said so, not shown as empty.
    if (listing.error) {
        platform::MessageBox(static_cast<wxWindow*>(this), node.name + ": " + listing.errorText, "",
                             platform::kMbOk | platform::kMbIconWarning);
        combo_->GoUp();
        return false;
    }
    for (DesktopRow& row : desktop::NetworkRows(listing.places)) {
        row.image += treeImageBase_;
        rows_.push_back(std::move(row));
    }
    return true;
}

std::string HDesktopView::GetCellText(uint32_t data, int column) const {
    const DesktopRow& row = rows_[data];
    switch (column) {
    case desktop::kName:
        return row.name;
    case desktop::kSize:
        return desktop::SizeText(row);
    case desktop::kType:
        return row.type;
    case desktop::kDate:
        // Dates are formatted once, when the row is first painted.
        if (data >= dateTexts_.size()) return desktop::DateText(row);
        if (dateTexts_[data].empty()) dateTexts_[data] = desktop::DateText(row);
        return dateTexts_[data];
    default:
        return "";
    }
}

int HDesktopView::GetCellImage(uint32_t data) const {
    const DesktopRow& row = rows_[data];
    if (row.image != -2) return row.image;
    // File icons are looked up when the row is first painted.
    if (data >= icons_.size()) return -1;
    if (icons_[data] == -2) icons_[data] = kinds_.IconIndex(row.path, row.directory);
    return icons_[data];
}

// ---- Sorting -----------------------------------------------------------------

bool HDesktopView::SortList(int column, bool ascending) {
    if (column < 0 || column > desktop::kDate) column = desktop::kName;
    list_->SortRows(
        [this, column](uint32_t a, uint32_t b) {
            if (const int c = desktop::CompareRows(rows_[a], rows_[b], column)) return c;
            return CompareNames(rows_[a].name, rows_[b].name);
        },
        ascending);
    list_->ShowSortIndicator(column, ascending);
    settings::WriteSort(kDesktopPane, column, ascending ? 1 : 0);
    return true;
}

void HDesktopView::OnColumnClick(wxListEvent& event) {
    const int column = event.GetColumn();
    if (column < 0) return;
    const int key = settings::GetSortKey(kDesktopPane);
    const bool ascending = settings::GetSortAscendent(kDesktopPane, 0) != 0;
    SortList(column, !(column == key && ascending));
}

// ---- Opening, deleting, menus --------------------------------------------------

void HDesktopView::OnActivated(wxListEvent& event) {
    if (event.GetIndex() >= 0) OpenRow(event.GetIndex());
}

void HDesktopView::OpenRow(long index) {
    const DesktopRow row = RowAt(index); // a copy: the rows change below
    if (row.kind == RowKind::Network) {
        if (!row.network) return;
        const bool share = row.network->display == platform::net_display::kShare;
        auto node = std::make_unique<HFolderNode>(
            row.name, share ? row.path : std::string(), row.image - treeImageBase_,
            row.image - treeImageBase_, folder_kind::kFolder, row.network);
        rows_.clear();
        list_->ShowRows(0);
        combo_->InsertNetworkPlace(std::move(node));
        return;
    }
    platform::FileStamp stamp;
    if (!platform::StampAt(row.path, stamp)) {
        ShowSystemErrorAbout(row.name, errno, static_cast<void*>(static_cast<wxWindow*>(this)));
        return;
    }
    if (stamp.folder) {
        combo_->GoToPath(row.path);
        return;
    }
    if (!platform::CurrentLauncher().OpenWithDefaultApplication(row.path))
        platform::MessageBox(static_cast<wxWindow*>(this),
                             wxString::Format(wxString::FromUTF8(strings::Tr(
                                                  "No application could be started for %s.")),
                                              wxString::FromUTF8(row.name))
                                 .utf8_string(),
                             "",
                             platform::kMbOk | platform::kMbIconWarning);
}

std::string HDesktopView::DeleteQuestion(const std::vector<uint32_t>& selected) const {
    std::string question;
    if (selected.size() == 1) {
        // The name as bytes: the box shows it once, converted for display.
        const std::string format = Text(sid::kDeleteOne);
        const size_t at = format.find("%s");
        question = at == std::string::npos
                       ? format
                       : format.substr(0, at) + rows_[selected[0]].name + format.substr(at + 2);
    } else {
        question = Text(sid::kDeleteMany);
    }
    // The files of a folder share its file system: the first file tells.
    for (uint32_t data : selected) {
        const DesktopRow& row = rows_[data];
        if (row.kind != RowKind::File || row.directory) continue;
        if (!platform::CanMoveToTrash(row.path))
            question += std::string("\n\n") + strings::Tr(text::kDeletePermanent);
        break;
    }
    return question;
}

int HDesktopView::DeleteRowFile(const DesktopRow& row) {
    // Only files: a folder is refused with the system's own reason.
    if (row.directory) return EISDIR;
    if (platform::CanMoveToTrash(row.path)) return platform::MoveToTrash(row.path);
    return platform::RemoveFile(row.path) ? 0 : errno;
}

bool HDesktopView::DeleteSelection(bool confirm) {
    // The files are taken as the person sees them before the question: its
    // event loop may let the rows change, so they are not read after it.
    const std::vector<long> selectedRows = list_->GetSelectedRows();
    const HFolderNode* node = combo_->GetCurrentNode();
    if (selectedRows.empty() || !node || node->path.empty()) return false;
    std::vector<DesktopRow> files;
    for (long row : selectedRows)
        if (const DesktopRow& file = RowAt(row); file.kind == RowKind::File) files.push_back(file);
    if (files.empty()) return false;
    if (confirm &&
        platform::MessageBox(static_cast<wxWindow*>(this), DeleteQuestion(list_->GetSelectedData()),
                             Text(sid::kConfirmDelete),
                             platform::kMbYesNo | platform::kMbIconInformation) != platform::kIdYes)
        return false;
    bool ok = true;
    for (const DesktopRow& row : files) {
        if (const int error = DeleteRowFile(row)) {
            ShowSystemErrorAbout(row.name, error, static_cast<void*>(static_cast<wxWindow*>(this)));
            ok = false;
            break;
        }
    }
    ShowNode(nullptr);
    // The selection and the focus move on to the row after the deleted ones.
    if (list_->GetItemCount() > 0)
        list_->SelectOnly(std::min<long>(selectedRows.front(), list_->GetItemCount() - 1));
    return ok;
}

void HDesktopView::OnKeyDown(wxListEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_DELETE || key == WXK_NUMPAD_DELETE)
        DeleteSelection(true);
    else if (key == WXK_BACK)
        combo_->GoUp();
    else
        event.Skip();
}

void HDesktopView::OnCharHook(wxKeyEvent& event) {
    // Alt+Up goes to the parent folder from the list, before the list
    // takes Up as a move to the row above.
    if (event.GetKeyCode() == WXK_UP && event.GetModifiers() == wxMOD_ALT && IsListFocused()) {
        combo_->GoUp();
        return;
    }
    event.Skip();
}

bool HDesktopView::IsListFocused() const {
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent())
        if (w == list_) return !list_->GetEditControl();
    return false;
}

void HDesktopView::OnRightClick(wxListEvent& event) {
    list_->SelectForMenu(event.GetIndex());
}

void HDesktopView::OnContextMenu(wxContextMenuEvent& event) {
    // Only the list's menu here: the folder field keeps its own.
    if (event.GetEventObject() != list_ && dynamic_cast<wxWindow*>(event.GetEventObject()) &&
        static_cast<wxWindow*>(event.GetEventObject())->GetParent() != list_) {
        event.Skip();
        return;
    }
    const wxPoint at = event.GetPosition();
    controls::ShowMenuOnce(this, menuPending_, [this, at] {
        std::unique_ptr<wxMenu> menu = controls::BuildPopupMenu(menus::DesktopContextMenu());
        if (menu) PopupMenu(menu.get(), at == wxDefaultPosition ? at : ScreenToClient(at));
    });
}

void HDesktopView::OnUp(wxCommandEvent&) {
    combo_->GoUp();
}

void HDesktopView::OnDelete(wxCommandEvent&) {
    DeleteSelection(true);
}

void HDesktopView::OnUpdateDelete(wxUpdateUIEvent& event) {
    const HFolderNode* node = combo_ ? combo_->GetCurrentNode() : nullptr;
    event.Enable(node && !node->path.empty() && CountSelectedFiles() > 0);
}

void HDesktopView::OnProperties(wxCommandEvent&) {
    const long first = list_->GetFirstSelected();
    if (first < 0) return;
    const DesktopRow& row = RowAt(first);
    if (row.kind != RowKind::File || row.directory) return;
    // Shown once a context menu that chose the command has closed, so that
    // the dialog's own loop does not run inside the menu's.
    CallAfter([this, path = row.path, type = row.type] {
        HPropertiesDialog dialog(this, path, type);
        dialog.ShowModal();
    });
}

void HDesktopView::OnUpdateProperties(wxUpdateUIEvent& event) {
    const long first = list_ ? list_->GetFirstSelected() : -1;
    // A file's only: a folder has no audio to describe.
    event.Enable(first >= 0 && RowAt(first).kind == RowKind::File && !RowAt(first).directory);
}

int HDesktopView::CountSelectedFiles() const {
    if (!list_) return 0;
    int count = 0;
    for (uint32_t data : list_->GetSelectedData())
        if (rows_[data].kind != RowKind::Network) ++count;
    return count;
}

// ---- Folder drop-down ------------------------------------------------------------

void HDesktopView::OnFolderSelected(wxCommandEvent& event) {
    auto* node = static_cast<HFolderNode*>(event.GetClientData());
    if (node && !node->network && node->kind < 0 && !node->path.empty())
        settings::SetLastDirectory(node->path);
    if (ready_) ShowNode(node);
}

// ---- Transfers -------------------------------------------------------------------

void HDesktopView::OnBeginDrag(wxListEvent& event) {
    BeginDrag(event.GetPoint());
}

wxWindow* HDesktopView::GetWindow() const {
    return list_;
}

wxBitmap HDesktopView::CreateDragImage(wxPoint* origin) {
    return BuildDragImage(*list_, origin);
}

bool HDesktopView::CollectSelection(HNameList& list) {
    for (uint32_t data : list_->GetSelectedData()) {
        const DesktopRow& row = rows_[data];
        if (row.kind == RowKind::Network) continue;
        list.Add(row.path.c_str(), row.index, 0);
    }
    return true;
}

bool HDesktopView::SendTo(HFileTarget* target) {
    if (!target) return false;
    HNameList list;
    CollectSelection(list);
    target->Receive(list, true);
    return true;
}

bool HDesktopView::Receive(HNameList& list, bool) {
    ShowNode(nullptr);
    HNameList arrived;
    for (const HNameList::Entry& entry : list)
        AddArrivalNames(entry.name, arrived);
    list_->SelectDataWhere([&](uint32_t data) {
        return rows_[data].kind == RowKind::File &&
               arrived.ContainsFileName(rows_[data].name.c_str());
    });
    list_->SetFocus();
    return false;
}

std::optional<std::string> HDesktopView::GetTargetFolder() const {
    const HFolderNode* node = combo_ ? combo_->GetCurrentNode() : nullptr;
    if (!node || node->path.empty()) return std::nullopt;
    return node->path;
}

bool HDesktopView::CanReceive() const {
    return GetTargetFolder().has_value();
}
