#include "views/player/memory_pane.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include <wx/dnd.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/settings.h>
#include <wx/textentry.h>

#include "ui/panes/transfer_progress.h"
#include "ui/controls/menu_builder.h"
#include "ui/controls/status_bar.h"
#include "ui/list/drag_image.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "lib/device/device_layer.h"
#include "base/platform/gui/accessibility.h"
#include "base/platform/message_box.h"
#include "base/platform/path_text.h"
#include "views/player/dropped_files.h"
#include "views/player/memory_transfers.h"
#include "views/player/memory_commands.h"
#include "base/resources/ids.h"
#include "base/resources/menus.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

namespace {

constexpr int kHeaderHeight = 20;

// Shown by "Download Raw Data" while no raw-data reader is connected.
constexpr const char* kRawDataUnavailable = SD_TEXT("Download Raw Data is not available.");

HMp3MemView::RawDataHandler& RawData() {
    static HMp3MemView::RawDataHandler handler;
    return handler;
}

// The caption font of the system, as the header's font: the toolkit's
// default font, in bold for a Latin title (one weight for the whole line).
wxFont HeaderFont(const std::string& title) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (!font.IsOk()) font = wxFont(wxFontInfo(10).Family(wxFONTFAMILY_SWISS));
    return player::HeaderInBold(title) ? font.Bold() : font;
}

std::string Load(int id) {
    const char* text = strings::Load(id);
    return text ? text : "";
}

// A string-table text with its one "%s" replaced by an argument.
std::string FormatWith(int id, const std::string& argument) {
    std::string text = Load(id);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

struct ColumnSpec {
    int stringId;
    wxListColumnFormat align;
};
constexpr ColumnSpec kColumns[player::kColumnCount] = {
    {sid::kColName, wxLIST_FORMAT_LEFT},
    {sid::kColNumber, wxLIST_FORMAT_LEFT},
    {sid::kColSize, wxLIST_FORMAT_RIGHT},
    {sid::kColType, wxLIST_FORMAT_RIGHT},
};

} // namespace

HMp3MemView::HMp3MemView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : transfers_(this) {
    // A container: Tab goes to its list, never to the pane itself.
    Create(parent, id, pos, size, wxTAB_TRAVERSAL, strings::Tr(text::kMemoryViewer));
    // The header line is a label, so that a screen reader reads it whole.
    header_ = new wxStaticText(this, wxID_ANY, wxString(), wxPoint(0, 0),
                               wxSize(std::max(size.x, 1), kHeaderHeight),
                               wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    // Chosen once, by the memories' names in the language of the string table.
    header_->SetFont(HeaderFont(strings::Text(sid::kInternalMemory)));
    list_ = new HFileListCtrl(this, ids::kMemoryList, wxLC_EDIT_LABELS, wxPoint(0, HeaderHeight()),
                              wxSize(std::max(size.x, 1), std::max(size.y - HeaderHeight(), 1)));
    list_->SetSource(this);
    list_->SetKinds(&kinds_);
    // No memory is shown until the first fill.
    list_->Hide();
    list_->Disable();
    UpdateHeader();
}

HMp3MemView::~HMp3MemView() {
    SaveColumnWidths();
    AcceptDrops(false);
    list_->SetSource(nullptr);
}

void HMp3MemView::SetTitle(int stringId) {
    SetTitleText(Load(stringId));
}

void HMp3MemView::SetTitleText(const std::string& title) {
    title_ = title;
    transfers_.SetTitle(title_);
    // The table is called by its memory, as the header calls it.
    list_->SetTableName(platform::PathToDisplayText(title_));
    UpdateHeader();
}

void HMp3MemView::UpdateHeader() {
    // The title may hold any bytes a file name could.
    const wxString text = platform::PathToDisplayText(GetHeaderText());
    if (header_->GetLabel() != text) header_->SetLabel(text);
    // The totals are read with the table, which a screen reader enters
    // without stopping at the header.
    platform::SetAccessibleDescription(list_, text);
}

int HMp3MemView::HeaderHeight() const {
    return std::max(kHeaderHeight, header_->GetBestSize().y + 4);
}

std::string HMp3MemView::GetHeaderText() const {
    if (unreadable_) return player::HeaderText(title_, strings::Tr(text::kMemoryUnreadable));
    // A narrow pane shows a shorter line that keeps the file count.
    const int room = GetClientSize().x;
    const wxFont font = header_->GetFont();
    return player::FittingHeaderText(title_, connected_, capacity_, freeSpace_, fileCount_,
                                     [&](const std::string& line) {
                                         int width = 0;
                                         GetTextExtent(platform::PathToDisplayText(line), &width,
                                                       nullptr, nullptr, nullptr, &font);
                                         return room <= 0 || width <= room;
                                     });
}

int HMp3MemView::GetSelectedCount() const {
    return list_->GetSelectedItemCount();
}

// ---- Listing ------------------------------------------------------------

void HMp3MemView::SetupColumns(int memory) {
    list_->DeleteAllColumns();
    for (int column = 0; column < player::kColumnCount; ++column) {
        // A stored width of 0 or less would hide the column for good: it
        // counts as none, and the list's default applies.
        list_->AppendColumnWidth(wxString::FromUTF8(Load(kColumns[column].stringId)),
                                 kColumns[column].align,
                                 settings::GetColumnWidth(memory, column, 0));
    }
}

bool HMp3MemView::FillList(bool force, int memory) {
    if (memory == -1) memory = memory_;
    if (memory == -1) return Disconnect();
    if (memory != memory_) {
        SaveColumnWidths();
        SetupColumns(memory);
        memory_ = memory;
        // The order is read once per memory and written when it changes (a
        // missing value reads as its default, so defaults need no writing).
        sortColumn_ = settings::GetSortKey(memory);
        sortAscending_ = settings::GetSortAscendent(memory, 1) != 0;
        sortStored_ = true;
    }

    HDirEntryList listing;
    uint64_t capacity = 0, freeSpace = 0;
    if (!DevListFiles(memory, listing, force) ||
        !DevGetMemorySpace(memory, &capacity, &freeSpace)) {
        Disconnect();
        // A player whose directory cannot be read is there, but damaged.
        unreadable_ = DevDirectoryUnreadable(memory);
        UpdateHeader();
        return false;
    }
    unreadable_ = false;
    capacity_ = capacity;
    freeSpace_ = freeSpace;
    fileCount_ = DevGetFileCount(memory);
    AcceptDrops(true);
    connected_ = true;
    list_->Enable();
    list_->Show();

    // A re-list keeps the rows that were selected, the focused one and the
    // view, by name (a device change or a refresh must not lose the user's
    // place).
    const HFileListCtrl::NamedRows kept = list_->KeepNames();

    rows_.clear();
    rows_.reserve(listing.GetCount());
    for (const HDirEntryList::Entry& entry : listing) {
        player::MemoryRow row;
        row.name = entry.name.value_or("");
        row.number = entry.number;
        row.size = entry.size;
        // Player files are judged by their names alone.
        row.type = kinds_.TypeName(row.name, false);
        rows_.push_back(std::move(row));
    }
    list_->ShowRowsSorted(rows_.size(), ByColumn(sortColumn_), sortAscending_);
    list_->ShowSortIndicator(sortColumn_, sortAscending_);
    list_->RestoreNames(kept);
    UpdateHeader();
    return true;
}

void HMp3MemView::AcceptDrops(bool accept) {
    // The toolkit refuses to install its drop target twice.
    if (accept == acceptingDrops_) return;
    DragAcceptFiles(accept);
    acceptingDrops_ = accept;
}

bool HMp3MemView::Disconnect() {
    AcceptDrops(false);
    connected_ = false;
    unreadable_ = false;
    // A name being edited is dropped first: hiding the list would take its
    // focus, which the list counts as accepting the edit.
    rows_.clear();
    list_->ShowRows(0);
    list_->Hide();
    list_->Disable();
    UpdateHeader();
    return false;
}

bool HMp3MemView::SortList(int column, bool ascending) {
    if (column < 0 || column >= player::kColumnCount) return false;
    list_->SortRows(ByColumn(column), ascending);
    list_->ShowSortIndicator(column, ascending);
    if (memory_ >= 0 && (!sortStored_ || column != sortColumn_ || ascending != sortAscending_))
        sortStored_ = settings::WriteSort(memory_, column, ascending ? 1 : 0);
    sortColumn_ = column;
    sortAscending_ = ascending;
    return true;
}

std::function<int(uint32_t, uint32_t)> HMp3MemView::ByColumn(int column) const {
    return [this, column](uint32_t a, uint32_t b) {
        return player::CompareRows(rows_[a], rows_[b], column);
    };
}

void HMp3MemView::SaveColumnWidths() {
    if (memory_ < 0) return;
    // Only widths the person set: a width fitted to one listing would cut
    // the texts of every later one.
    for (int column = 0; column < player::kColumnCount && column < list_->ColumnCount(); ++column)
        if (const int width = list_->GetStoredColumnWidth(column); width > 0)
            settings::WriteColumnWidth(memory_, column, width);
}

std::string HMp3MemView::GetCellText(uint32_t data, int column) const {
    if (data >= rows_.size()) return {};
    const player::MemoryRow& row = rows_[data];
    switch (column) {
    case player::kColumnName:
        return row.name;
    case player::kColumnNumber:
        return std::to_string(row.number);
    case player::kColumnSize:
        return player::SizeText(row.size);
    case player::kColumnType:
        return row.type;
    default:
        return {};
    }
}

int HMp3MemView::GetCellImage(uint32_t data) const {
    if (data >= rows_.size()) return -1;
    const player::MemoryRow& row = rows_[data];
    if (row.image < 0) row.image = kinds_.IconIndex(row.name, false);
    return row.image;
}

player::NamedEntry HMp3MemView::EntryOf(uint32_t data) const {
    const player::MemoryRow& row = rows_[data];
    return {row.number, row.name, row.size};
}

bool HMp3MemView::StillAsShown(const device::PlayerWatch& watch,
                               const std::vector<player::NamedEntry>& entries, int memory,
                               device::ChangeMoment moment) {
    if (memory != memory_ || memory < 0) {
        TellChanged(device::ChangeText(device::Change::kFilesChanged, moment));
        return false;
    }
    const device::Change change = watch.Entries(memory, entries);
    if (change == device::Change::kNone) return true;
    TellChanged(device::ChangeText(change, moment));
    return false;
}

void HMp3MemView::TellChanged(const std::string& text) {
    platform::MessageBox(static_cast<wxWindow*>(this), text, Load(sid::kAppTitle),
                         platform::kMbOk | platform::kMbIconWarning);
    // The person sees the player as it is now.
    FillList(true, memory_);
}

void HMp3MemView::ShowOutcome(const player::MemoryTransfers::Outcome& outcome) {
    if (outcome.summary.empty()) return;
    // The status bar says what was done, and a screen reader hears it once.
    controls::AnnounceInStatusBar(this, platform::PathToDisplayText(outcome.summary));
}

std::vector<int32_t> HMp3MemView::SelectedNumbers() const {
    std::vector<int32_t> numbers;
    for (uint32_t data : list_->GetSelectedData())
        numbers.push_back(rows_[data].number);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void HMp3MemView::SelectNumbers(const std::vector<int32_t>& numbers) {
    list_->SelectDataWhere([&](uint32_t data) {
        return std::find(numbers.begin(), numbers.end(), rows_[data].number) != numbers.end();
    });
}

// ---- Window -------------------------------------------------------------

void HMp3MemView::OnSize(wxSizeEvent& event) {
    const wxSize size = GetClientSize();
    const int header = HeaderHeight();
    // The header's wording follows the width.
    UpdateHeader();
    header_->SetSize(0, (header - header_->GetBestSize().y) / 2, size.x, header_->GetBestSize().y);
    list_->SetSize(0, header, size.x, std::max(size.y - header, 0));
    event.Skip();
}

void HMp3MemView::OnColumnClick(wxListEvent& event) {
    const int column = event.GetColumn();
    if (memory_ < 0 || column < 0) return;
    SortList(column, column != sortColumn_ ? true : !sortAscending_);
}

void HMp3MemView::OnBeginDrag(wxListEvent& event) {
    BeginDrag(event.GetPoint());
}

void HMp3MemView::OnListKeyDown(wxListEvent& event) {
    if (event.GetKeyCode() == WXK_DELETE) {
        if (connected_) DeleteSelected(true);
        return;
    }
    event.Skip();
}

void HMp3MemView::OnEndLabelEdit(wxListEvent& event) {
    // The list never takes the text itself: the re-listing shows the name
    // the player gave the file.
    event.Veto();
    // The file whose name the edit was started on, as it was shown then.
    std::optional<player::NamedEntry> edited = std::exchange(editing_, std::nullopt);
    // The player as it was when the edit began: a plug meanwhile may have
    // put another file at the edited number.
    const device::PlayerWatch watch =
        std::exchange(editWatch_, std::nullopt).value_or(device::PlayerWatch());
    if (event.IsEditCancelled() || memory_ < 0 || !connected_ || event.GetLabel().empty()) return;
    const long row = event.GetIndex();
    if (!edited) {
        if (row < 0 || static_cast<size_t>(row) >= list_->GetOrder().size()) return;
        edited = EntryOf(list_->GetRowData(row));
    }
    const int32_t number = edited->number;
    const std::string name = platform::PathFromText(event.GetLabel());
    // Checked once the edit control is gone: the box must not end the edit.
    if (const device::Change change = watch.Entries(memory_, {*edited});
        change != device::Change::kNone) {
        CallAfter([this, change] {
            TellChanged(device::ChangeText(change, device::ChangeMoment::kListing));
        });
        return;
    }
    DevRenameEntry(memory_, number, name.c_str());
    // Re-listed once the edit control is gone; the renamed file (its entry
    // number stays) stays selected.
    CallAfter([this, number] {
        FillList(false, memory_);
        SelectNumbers({number});
    });
}

void HMp3MemView::OnRightClick(wxListEvent& event) {
    list_->SelectForMenu(event.GetIndex());
}

void HMp3MemView::OnContextMenu(wxContextMenuEvent& event) {
    // A text field (the name being edited) keeps its own menu.
    if (dynamic_cast<wxTextEntry*>(event.GetEventObject())) {
        event.Skip();
        return;
    }
    const wxPoint at = event.GetPosition();
    controls::ShowMenuOnce(this, menuPending_, [this, at] { ShowContextMenu(at); });
}

void HMp3MemView::ShowContextMenu(const wxPoint& at) {
    if (list_->IsShown())
        list_->SetFocus();
    else
        SetFocus();
    std::unique_ptr<wxMenu> menu = controls::BuildPopupMenu(menus::MemoryContextMenu());
    // The update handlers of the commands decide which items are enabled.
    if (menu) PopupMenu(menu.get(), at == wxDefaultPosition ? at : ScreenToClient(at));
}

void HMp3MemView::OnDropFiles(wxDropFilesEvent& event) {
    if (!connected_) return;
    std::vector<std::string> paths;
    for (int i = 0; i < event.GetNumberOfFiles(); ++i)
        paths.push_back(platform::PathFromText(event.GetFiles()[i]));
    auto list = std::make_shared<HNameList>();
    for (const std::string& path : player::ResolveDroppedPaths(paths))
        list->Add(path.c_str(), -1, 0);
    // The file manager gets its answer at once; the copy starts afterwards.
    if (!list->IsEmpty())
        CallAfter([this, list] {
            if (connected_) Receive(*list, true);
        });
}

// ---- Commands -------------------------------------------------------------

bool HMp3MemView::DeleteSelected(bool confirm) {
    // The files are taken as the person sees them before the question: its
    // event loop may let the rows change, so they are not read after it.
    const std::vector<long> selected = list_->GetSelectedRows();
    const int memory = memory_;
    if (selected.empty() || memory < 0) return false;
    std::vector<player::NamedEntry> entries;
    for (long row : selected)
        entries.push_back(EntryOf(list_->GetRowData(row)));
    const device::PlayerWatch watch;
    if (confirm) {
        const std::string text = entries.size() == 1 ? FormatWith(sid::kDeleteOne, entries[0].name)
                                                     : Load(sid::kDeleteMany);
        if (platform::MessageBox(static_cast<wxWindow*>(this), text, Load(sid::kConfirmDelete),
                                 platform::kMbYesNo | platform::kMbIconInformation) !=
            platform::kIdYes)
            return false;
    }
    // Another program may have changed the player meanwhile: delete the
    // files that were shown (and asked about), or none.
    if (!StillAsShown(watch, entries, memory,
                      confirm ? device::ChangeMoment::kQuestion : device::ChangeMoment::kListing))
        return false;
    const bool ok = player::DeleteEntries(static_cast<wxWindow*>(this), memory, entries);
    FillList(false, memory_);
    // The selection and the focus move on to the row after the deleted ones.
    if (list_->GetSelectedItemCount() == 0 && list_->GetItemCount() > 0)
        list_->SelectOnly(std::min<long>(selected.front(), list_->GetItemCount() - 1));
    return ok;
}

bool HMp3MemView::MoveSelected(int command) {
    const std::vector<int32_t> numbers = SelectedNumbers();
    if (numbers.empty() || memory_ < 0) return false;
    // A move swaps neighbours: every shown entry must still be where it was.
    std::vector<player::NamedEntry> shown;
    for (uint32_t data = 0; data < rows_.size(); ++data)
        shown.push_back(EntryOf(data));
    if (!StillAsShown(device::PlayerWatch(), shown, memory_, device::ChangeMoment::kListing))
        return false;
    const std::vector<int32_t> moved =
        player::MoveEntries(memory_, numbers, command == ids::kMoveUp, fileCount_);
    FillList(false, memory_);
    if (!moved.empty()) SelectNumbers(moved);
    return true;
}

bool HMp3MemView::FormatMemory(bool low, int memory) {
    if (memory == -1) memory = memory_;
    if (memory == -1) return false;
    const int caption = low ? sid::kLowLevelFormat : sid::kFormat;
    // The files the person is asked about: the rows shown of the pane's own
    // memory, else the memory as read now.
    std::vector<player::NamedEntry> shown;
    if (memory == memory_)
        for (uint32_t data = 0; data < rows_.size(); ++data)
            shown.push_back(EntryOf(data));
    else
        shown = device::ListedEntries(memory);
    const device::PlayerWatch watch;
    if (platform::MessageBox(static_cast<wxWindow*>(this), Load(sid::kFormatQuestion),
                             Load(caption),
                             platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes)
        return false;
    // The memory is read again: files that came while the question was open
    // were never seen, and are not erased.
    if (const device::Change change = watch.Memory(memory, shown);
        change != device::Change::kNone) {
        platform::MessageBox(static_cast<wxWindow*>(this),
                             device::ChangeText(change, device::ChangeMoment::kQuestion),
                             Load(caption), platform::kMbOk | platform::kMbIconWarning);
        FillList(true, memory_);
        return false;
    }
    wxWindow* parent = this;
    int result;
    {
        app::TransferProgress progress(this, wxString::FromUTF8(Load(caption)));
        result = progress.Run(
            [&] { return low ? DevFormatLow(parent, memory) : DevFormat(parent, memory); });
    }
    FillList(false, memory_);
    return result == 0;
}

bool HMp3MemView::RefuseDirectory(const std::string& path, bool refuse) {
    if (!refuse) return true;
    platform::MessageBox(static_cast<wxWindow*>(this),
                         path + "\n" + Load(sid::kCannotDownloadDirectory), Load(sid::kAppTitle),
                         platform::kMbOk | platform::kMbIconWarning);
    return false;
}

void HMp3MemView::OnDelete(wxCommandEvent&) {
    DeleteSelected(true);
}

void HMp3MemView::OnUpdateDelete(wxUpdateUIEvent& event) {
    event.Enable(connected_ && GetSelectedCount() > 0);
}

void HMp3MemView::OnMove(wxCommandEvent& event) {
    MoveSelected(event.GetId());
}

void HMp3MemView::OnUpdateMoveUp(wxUpdateUIEvent& event) {
    event.Enable(connected_ && player::CanMoveUp(SelectedNumbers()));
}

void HMp3MemView::OnUpdateMoveDown(wxUpdateUIEvent& event) {
    event.Enable(connected_ && player::CanMoveDown(SelectedNumbers(), fileCount_));
}

void HMp3MemView::OnRefresh(wxCommandEvent&) {
    FillList(true, memory_);
}

void HMp3MemView::OnFormat(wxCommandEvent&) {
    FormatMemory(false, -1);
}

void HMp3MemView::OnLowFormat(wxCommandEvent&) {
    FormatMemory(true, -1);
}

void HMp3MemView::OnRename(wxCommandEvent&) {
    if (list_->GetFirstSelected() < 0) return;
    // Started once a context menu that chose the command has closed, so
    // that the menu's closing does not take the focus from the edit.
    CallAfter([this] {
        const long row = list_->GetFirstSelected();
        if (row < 0 || !connected_) return;
        list_->SetFocus();
        editing_ = EntryOf(list_->GetRowData(row));
        editWatch_.emplace();
        if (!list_->EditLabel(row)) {
            editing_.reset();
            editWatch_.reset();
        }
    });
}

void HMp3MemView::OnRawData(wxCommandEvent&) {
    if (RawData()) {
        RawData()(this, memory_);
        return;
    }
    platform::MessageBox(static_cast<wxWindow*>(this), strings::Tr(kRawDataUnavailable), Load(sid::kAppTitle),
                         platform::kMbOk | platform::kMbIconInformation);
}

void HMp3MemView::OnUpdateAlways(wxUpdateUIEvent& event) {
    event.Enable(true);
}

void HMp3MemView::OnUpdateConnected(wxUpdateUIEvent& event) {
    event.Enable(connected_);
}

HMp3MemView::RawDataHandler HMp3MemView::SetRawDataHandler(RawDataHandler handler) {
    RawDataHandler old = std::move(RawData());
    RawData() = std::move(handler);
    return old;
}

// ---- Transfers ------------------------------------------------------------

wxWindow* HMp3MemView::GetSourceWindow() const {
    return list_;
}

wxBitmap HMp3MemView::CreateDragImage(wxPoint* origin) {
    return BuildDragImage(*list_, origin);
}

bool HMp3MemView::CollectSelection(HNameList& list) {
    bool any = false;
    for (uint32_t data : list_->GetSelectedData()) {
        const player::MemoryRow& row = rows_[data];
        list.Add(row.name.c_str(), row.number, static_cast<int32_t>(row.size));
        any = true;
    }
    return any;
}

bool HMp3MemView::SendTo(HFileTarget* target) {
    if (!target || GetSelectedCount() == 0) return false;
    const std::optional<std::string> folder = target->GetTargetFolder();
    if (!folder) return false;
    HNameList list;
    CollectSelection(list);
    const player::MemoryTransfers::Outcome outcome = transfers_.UploadFiles(memory_, *folder, list);
    // Files whose player names did not decode arrived under other PC names.
    for (const DevEscapedName& name : DevGetEscapedNames())
        list.Add(name.pcName.c_str(), -1, 0);
    ShowOutcome(outcome);
    if (outcome.playerChanged) FillList(true, memory_);
    // The target shows what arrived, also after a failure part-way.
    target->Receive(list, false);
    return outcome.code == 0;
}

wxWindow* HMp3MemView::GetTargetWindow() const {
    return const_cast<HMp3MemView*>(this);
}

std::optional<std::string> HMp3MemView::GetTargetFolder() const {
    return std::string();
}

bool HMp3MemView::CanReceive() const {
    return connected_ && IsEnabled() && list_->IsEnabled();
}

bool HMp3MemView::Receive(HNameList& list, bool transfer) {
    int result = 0;
    if (transfer) {
        // Every path is checked before anything is written.
        if (!transfers_.CheckPaths(
                list, [this](const std::string& path) { return RefuseDirectory(path, true); }))
            return false;
        const player::MemoryTransfers::Outcome outcome = transfers_.DownloadFiles(memory_, list);
        ShowOutcome(outcome);
        result = outcome.code;
    }
    FillList(false, memory_);
    list_->SelectDataWhere(
        [&](uint32_t data) { return list.ContainsFileName(rows_[data].name.c_str()); });
    if (list_->IsShown()) list_->SetFocus();
    return result == 0;
}

// ---- Event table --------------------------------------------------------

// The table is laid out by hand, to the end of the file.
// clang-format off
wxBEGIN_EVENT_TABLE(HMp3MemView, wxNavigationEnabled<wxWindow>)
    EVT_SIZE(HMp3MemView::OnSize)
    EVT_CONTEXT_MENU(HMp3MemView::OnContextMenu)
    EVT_LIST_ITEM_RIGHT_CLICK(wxID_ANY, HMp3MemView::OnRightClick)
    EVT_DROP_FILES(HMp3MemView::OnDropFiles)
    EVT_LIST_COL_CLICK(ids::kMemoryList, HMp3MemView::OnColumnClick)
    EVT_LIST_BEGIN_DRAG(ids::kMemoryList, HMp3MemView::OnBeginDrag)
    EVT_LIST_KEY_DOWN(ids::kMemoryList, HMp3MemView::OnListKeyDown)
    EVT_LIST_END_LABEL_EDIT(ids::kMemoryList, HMp3MemView::OnEndLabelEdit)
    EVT_MENU(ids::kDelete, HMp3MemView::OnDelete)
    EVT_UPDATE_UI(ids::kDelete, HMp3MemView::OnUpdateDelete)
    EVT_MENU(ids::kMoveUp, HMp3MemView::OnMove)
    EVT_UPDATE_UI(ids::kMoveUp, HMp3MemView::OnUpdateMoveUp)
    EVT_MENU(ids::kMoveDown, HMp3MemView::OnMove)
    EVT_UPDATE_UI(ids::kMoveDown, HMp3MemView::OnUpdateMoveDown)
    EVT_MENU(ids::kRefresh, HMp3MemView::OnRefresh)
    EVT_UPDATE_UI(ids::kRefresh, HMp3MemView::OnUpdateAlways)
    EVT_MENU(ids::kPaneFormat, HMp3MemView::OnFormat)
    EVT_UPDATE_UI(ids::kPaneFormat, HMp3MemView::OnUpdateConnected)
    EVT_MENU(ids::kPaneLowFormat, HMp3MemView::OnLowFormat)
    EVT_UPDATE_UI(ids::kPaneLowFormat, HMp3MemView::OnUpdateConnected)
    EVT_MENU(ids::kRename, HMp3MemView::OnRename)
    EVT_UPDATE_UI(ids::kRename, HMp3MemView::OnUpdateAlways)
    EVT_MENU(ids::kPaneRawData, HMp3MemView::OnRawData)
    EVT_UPDATE_UI(ids::kPaneRawData, HMp3MemView::OnUpdateConnected)
wxEND_EVENT_TABLE()
