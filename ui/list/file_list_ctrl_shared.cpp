// What both halves of the file list share: the cells asked of the pane, the
// fitted columns, the selection by data index and by name, type-ahead and
// the context menu's place.
#include <algorithm>
#include <unordered_set>

#include <wx/settings.h>
#include <wx/time.h>

#include "base/platform/gui/accessibility.h"
#include "base/platform/modal_depth.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "ui/list/file_kinds.h"
#include "ui/list/file_list_ctrl.h"

namespace {

// Letters typed within this time make one start of a name.
constexpr long kTypeAheadMs = 1000;
// Rows measured to fit a column to its texts: the first rows stand for the rest.
constexpr long kMeasuredRows = 200;

} // namespace

int HFileListCtrl::Source::GetCellImage(uint32_t) const {
    return -1;
}

void HFileListCtrl::SetKinds(const HFileKinds* kinds) {
    SetImageList(kinds ? kinds->GetImageList() : nullptr);
    kinds_ = kinds;
}

wxImageList* HFileListCtrl::GetImageList(int) const {
    return images_;
}

void HFileListCtrl::SetTableName(const wxString& name) {
    platform::SetAccessibleName(this, name);
}

wxString HFileListCtrl::CellText(long row, int column) const {
    if (!source_ || row < 0 || row >= RowCount()) return wxString();
    return platform::PathToDisplayText(source_->GetCellText(GetRowData(row), column));
}

int HFileListCtrl::GetRowImage(long row) const {
    if (!source_ || row < 0 || row >= RowCount()) return -1;
    return source_->GetCellImage(GetRowData(row));
}

wxString HFileListCtrl::GetRowText(long row, int column) const {
    if (column < 0 || column >= ColumnCount()) return wxString();
    return CellText(row, column);
}

int HFileListCtrl::DefaultColumnWidth() const {
    return std::max(100, 100 * GetCharHeight() / 13);
}

int HFileListCtrl::GetStoredColumnWidth(int column) const {
    if (column < 0 || column >= ColumnCount()) return 0;
    if (widths_.IsFitted(column) || (column == 0 && widths_.FillsFirst())) return 0;
    return GetColumnWidth(column);
}

void HFileListCtrl::FitColumns() {
    const long rows = std::min<long>(RowCount(), kMeasuredRows);
    const int count = std::min(ColumnCount(), widths_.Count());
    if (count == 0) return;
    for (int c = 0; c < count; ++c) {
        if (!widths_.NeedsMeasuring(c, rows > 0)) continue;
        // Without rows the title alone, measured again once rows come. The
        // names take the room left, whatever their texts: their title only.
        const long measured = c == 0 ? 0 : rows;
        std::vector<int> texts;
        texts.reserve(static_cast<size_t>(measured));
        const int padding = 2 * GetCharWidth();
        for (long row = 0; row < measured; ++row)
            texts.push_back(GetTextExtent(CellText(row, c)).x + padding);
        widths_.Measured(c, std::move(texts), TitleWidth(c), rows > 0 || c == 0);
    }
    ApplyWidths(widths_.Fit(Available(), DefaultColumnWidth(), wxGetLocalTimeMillis().GetValue()));
}

int HFileListCtrl::Available() const {
    // Room is kept for a vertical scroll bar, so that no horizontal one appears.
    return GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) - 4;
}

void HFileListCtrl::OnSize(wxSizeEvent& event) {
    FitColumns();
    event.Skip();
}

std::vector<uint32_t> HFileListCtrl::GetSelectedData() const {
    std::vector<uint32_t> data;
    for (long row : GetSelectedRows())
        data.push_back(GetRowData(row));
    return data;
}

long HFileListCtrl::GetFirstSelected() const {
    const std::vector<long> rows = GetSelectedRows();
    return rows.empty() ? -1 : rows.front();
}

// The buttons and menus follow the selection at once, however it changed: by
// mouse, keys, a screen reader's or voice tool's selection interface, or the
// program. A change through the accessibility interface wakes no idle pass.
// The program's own changes come in runs (a re-selection of many names), so
// they queue one update for the run.
void HFileListCtrl::SelectionChanged() {
    if (uiUpdateQueued_) return;
    uiUpdateQueued_ = true;
    CallAfter([this] {
        uiUpdateQueued_ = false;
        UpdateCommandsNow();
    });
}

void HFileListCtrl::UpdateCommandsNow() {
    if (wxWindow* top = wxGetTopLevelParent(this)) top->UpdateWindowUI(wxUPDATE_UI_RECURSE);
}

void HFileListCtrl::SelectForMenu(long row) {
    if (row >= 0 && row < RowCount() && !IsRowSelected(row))
        SelectOnly(row);
}

size_t HFileListCtrl::SelectDataWhere(const std::function<bool(uint32_t)>& wanted) {
    const std::vector<long> rows = SelectData(wanted);
    if (!rows.empty()) EnsureVisible(rows.front());
    return rows.size();
}

HFileListCtrl::NamedRows HFileListCtrl::KeepNames() const {
    NamedRows kept;
    if (!source_) return kept;
    for (uint32_t data : GetSelectedData())
        kept.selected.push_back(source_->GetCellText(data, 0));
    const long focused = GetFocusedRow();
    if (focused >= 0) {
        kept.focused = source_->GetCellText(GetRowData(focused), 0);
        kept.hasFocused = true;
    }
    if (const long top = GetTopRow(); top >= 0) {
        kept.top = source_->GetCellText(GetRowData(top), 0);
        kept.hasTop = true;
        kept.focusBelowTop = focused - top;
    }
    return kept;
}

void HFileListCtrl::RestoreNames(const NamedRows& rows) {
    if (!source_ || rows.empty()) return;
    const std::unordered_set<std::string> selected(rows.selected.begin(), rows.selected.end());
    long focus = -1, top = -1;
    const std::vector<long> chosen = SelectData([&](uint32_t data) {
        const std::string name = source_->GetCellText(data, 0);
        if (rows.hasFocused && focus < 0 && name == rows.focused) focus = FindRowByData(data);
        if (rows.hasTop && top < 0 && name == rows.top) top = FindRowByData(data);
        return selected.count(name) > 0;
    });
    if (focus >= 0) FocusRow(focus, true);
    // A re-list that left the rows in view where they were keeps the view:
    // only one scroll is asked for, as the table makes the last one asked.
    const long shown = focus >= 0 ? focus : chosen.empty() ? -1 : chosen.front();
    if (top >= 0 && (focus < 0 ? !rows.hasFocused : focus - top == rows.focusBelowTop))
        ScrollRowToTop(top);
    else if (shown >= 0)
        EnsureVisible(shown);
}

void HFileListCtrl::OnContextMenu(wxContextMenuEvent& event) {
    // From the keyboard (the menu key, Shift+F10) the menu opens at the
    // focused row, or at the top of the list.
    if (event.GetPosition() == wxDefaultPosition) {
        wxPoint at(GetCharWidth() * 2, GetCharHeight() * 2);
        if (const wxRect rect = GetRowRect(GetFocusedRow(), RowPart::Label); !rect.IsEmpty())
            at = wxPoint(rect.x + GetCharWidth(), rect.GetBottom());
        const wxRect client = GetClientRect();
        at.x = std::clamp(at.x, 0, std::max(client.width - 1, 0));
        at.y = std::clamp(at.y, 0, std::max(client.height - 1, 0));
        event.SetPosition(ClientToScreen(at));
    }
    event.Skip();
}

void HFileListCtrl::OnChar(wxKeyEvent& event) {
    const wxChar typed = event.GetUnicodeKey();
    const int modifiers = event.GetModifiers();
    if (typed == WXK_NONE || typed < 32 || (modifiers & ~wxMOD_SHIFT) != 0 || RowCount() == 0 ||
        (typed == ' ' && typed_.empty())) {
        event.Skip();
        return;
    }
    const wxLongLong now = wxGetLocalTimeMillis();
    if (now - typedAt_ > kTypeAheadMs) typed_.clear();
    typedAt_ = now;
    // The same letter again steps through the names that start with it.
    const bool repeat = typed_.length() == 1 && typed_[0] == typed;
    if (!repeat) typed_ += typed;
    const long focused = GetFocusedRow();
    if (!FindByPrefix(typed_, repeat ? focused + 1 : std::max(focused, 0L)) && repeat)
        FindByPrefix(typed_, 0);
}

bool HFileListCtrl::FindByPrefix(const wxString& prefix, long from) {
    const long count = RowCount();
    const wxString wanted = prefix.Lower();
    for (long step = 0; step < count; ++step) {
        const long row = (from + step) % count;
        if (CellText(row, 0).Lower().StartsWith(wanted)) {
            SelectOnly(row);
            return true;
        }
    }
    return false;
}

void HFileListCtrl::ShowRows(size_t count) {
    CancelEdit();
    order_.Reset(count);
    SetRowCount();
}

void HFileListCtrl::ShowRows(std::vector<uint32_t> indices) {
    CancelEdit();
    order_.Assign(std::move(indices));
    SetRowCount();
}

HFileListCtrl::Kept HFileListCtrl::Keep() {
    CancelEdit();
    Kept kept;
    kept.selected = static_cast<size_t>(GetSelectedItemCount());
    if (kept.selected > 0 && kept.selected < order_.size())
        kept.marks = order_.MarkData(GetSelectedRows());
    if (const long focused = GetFocusedRow(); focused >= 0)
        kept.focusData = static_cast<long>(GetRowData(focused));
    return kept;
}

void HFileListCtrl::ReverseRows() {
    const Kept kept = Keep();
    order_.Reverse();
    Reload();
    Restore(kept);
}

void HFileListCtrl::AskForRename() {
    if (GetEditControl() || clickedRow_ < 0 || GetSelectedItemCount() != 1 ||
        !IsRowSelected(clickedRow_))
        return;
    // Not while a question or a device call is open (its loop runs the
    // timer): the edit would end, and rename, in the middle of it.
    if (platform::OpenModalCount() > 0) return;
    wxCommandEvent rename(wxEVT_MENU, ids::kRename);
    rename.SetEventObject(this);
    if (GetParent()) GetParent()->GetEventHandler()->ProcessEvent(rename);
}
