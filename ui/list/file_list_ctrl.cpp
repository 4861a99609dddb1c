#include "ui/list/file_list_ctrl.h"

#include <algorithm>

#include <wx/settings.h>
#include <wx/textctrl.h>

#include "base/platform/path_text.h"

int HFileListCtrl::Source::GetCellImage(uint32_t) const {
    return -1;
}

// clang-format off
wxBEGIN_EVENT_TABLE(HFileListCtrl, wxListCtrl)
    EVT_SIZE(HFileListCtrl::OnSize)
    EVT_LIST_COL_END_DRAG(wxID_ANY, HFileListCtrl::OnColumnEndDrag)
wxEND_EVENT_TABLE()
// clang-format on

HFileListCtrl::HFileListCtrl(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                             const wxSize& size) {
    Create(parent, id, style, pos, size);
}

bool HFileListCtrl::Create(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                           const wxSize& size) {
    if (!wxListCtrl::Create(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL | style))
        return false;
    Bind(wxEVT_CHAR_HOOK, &HFileListCtrl::OnCharHook, this);
    return true;
}

void HFileListCtrl::SelectForMenu(long row) {
    if (row >= 0 && row < GetItemCount() && GetItemState(row, wxLIST_STATE_SELECTED) == 0)
        SelectOnly(row);
}

void HFileListCtrl::OnCharHook(wxKeyEvent& event) {
    // Ctrl+A in the list itself; a name being edited keeps it for its text.
    if (event.GetKeyCode() == 'A' && event.GetModifiers() == wxMOD_CONTROL && !GetEditControl() &&
        GetItemCount() > 0) {
        SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        return;
    }
    event.Skip();
}

int HFileListCtrl::DefaultColumnWidth() const {
    return std::max(100, 100 * GetCharHeight() / 13);
}

void HFileListCtrl::AppendColumnWidth(const wxString& title, wxListColumnFormat format,
                                      int storedWidth) {
    const bool stored = storedWidth > 0;
    if (GetColumnCount() == 0) defaultColumns_.clear();
    AppendColumn(title, format, stored ? storedWidth : DefaultColumnWidth());
    defaultColumns_.push_back(!stored);
    if (GetColumnCount() == 1) fitFirstColumn_ = !stored;
    if (fitFirstColumn_) FitFirstColumn();
}

void HFileListCtrl::FitDefaultColumnsToTexts() {
    // The first rows stand for the rest: a long list is not measured whole.
    constexpr long kMeasuredRows = 200;
    // Without rows the titles alone are measured, until rows come.
    const long rows = std::min<long>(GetItemCount(), kMeasuredRows);
    const int count = std::min<int>(GetColumnCount(), static_cast<int>(defaultColumns_.size()));
    for (int c = 1; c < count; ++c) {
        if (!defaultColumns_[c]) continue;
        wxListItem header;
        header.SetMask(wxLIST_MASK_TEXT);
        GetColumn(c, header);
        int widest = GetTextExtent(header.GetText()).x;
        for (long row = 0; row < rows; ++row)
            widest = std::max(widest, GetTextExtent(OnGetItemText(row, c)).x);
        SetColumnWidth(c, std::min(DefaultColumnWidth(), widest + 2 * GetCharWidth()));
    }
    if (rows > 0) defaultColumns_.clear();
    if (fitFirstColumn_) FitFirstColumn();
}

void HFileListCtrl::FitFirstColumn() {
    const int count = GetColumnCount();
    if (count == 0) return;
    // Room is kept for a vertical scroll bar, so that no horizontal one appears.
    int left = GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    for (int c = 1; c < count; ++c)
        left -= GetColumnWidth(c);
    const int width = std::max(left, DefaultColumnWidth());
    if (GetColumnWidth(0) != width) SetColumnWidth(0, width);
}

void HFileListCtrl::OnSize(wxSizeEvent& event) {
    if (!defaultColumns_.empty())
        FitDefaultColumnsToTexts();
    else if (fitFirstColumn_)
        FitFirstColumn();
    event.Skip();
}

void HFileListCtrl::OnColumnEndDrag(wxListEvent& event) {
    fitFirstColumn_ = false;
    event.Skip();
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

void HFileListCtrl::SetRowCount() {
    ClearSelection();
    // A focus left beyond a shorter list would point at no row.
    if (const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED); focused >= 0)
        SetItemState(focused, 0, wxLIST_STATE_FOCUSED);
    SetItemCount(static_cast<long>(order_.size()));
    if (!defaultColumns_.empty()) FitDefaultColumnsToTexts();
    Refresh();
}

void HFileListCtrl::RefreshRows() {
    if (GetItemCount() > 0) RefreshItems(0, GetItemCount() - 1);
}

void HFileListCtrl::CancelEdit() {
    if (GetEditControl()) EndEditLabel(true);
}

HFileListCtrl::Kept HFileListCtrl::Keep() {
    CancelEdit();
    Kept kept;
    kept.selected = static_cast<size_t>(GetSelectedItemCount());
    if (kept.selected > 0 && kept.selected < order_.size())
        kept.marks = order_.MarkData(GetSelectedRows());
    if (const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        focused >= 0 && static_cast<size_t>(focused) < order_.size())
        kept.focusData = static_cast<long>(order_.DataAt(static_cast<size_t>(focused)));
    return kept;
}

void HFileListCtrl::Restore(const Kept& kept) {
    // Nothing or everything selected stays so without touching a row. The
    // list's selection store looks each row up in a plain array of the rows
    // that differ from its default, so when most rows are selected, select
    // all and deselect the few.
    if (kept.selected > 0 && kept.selected < order_.size()) {
        const bool most = kept.selected > order_.size() / 2;
        SetItemState(-1, most ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
        for (size_t row = 0; row < order_.size(); ++row) {
            const uint32_t data = order_.DataAt(row);
            if (data < kept.marks.size() && kept.marks[data] != most)
                SetItemState(static_cast<long>(row), most ? 0 : wxLIST_STATE_SELECTED,
                             wxLIST_STATE_SELECTED);
        }
    }
    if (kept.focusData >= 0)
        if (const long row = order_.RowOf(static_cast<uint32_t>(kept.focusData)); row >= 0)
            SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    Refresh();
}

void HFileListCtrl::ReverseRows() {
    const Kept kept = Keep();
    order_.Reverse();
    Restore(kept);
}

std::vector<long> HFileListCtrl::GetSelectedRows() const {
    std::vector<long> rows;
    // Walking the rows costs a pass over the whole list; skip it when none is selected.
    if (GetSelectedItemCount() == 0) return rows;
    rows.reserve(static_cast<size_t>(GetSelectedItemCount()));
    for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(row);
    return rows;
}

std::vector<uint32_t> HFileListCtrl::GetSelectedData() const {
    std::vector<uint32_t> data;
    for (long row : GetSelectedRows())
        if (static_cast<size_t>(row) < order_.size()) data.push_back(GetRowData(row));
    return data;
}

long HFileListCtrl::GetFirstSelected() const {
    if (GetSelectedItemCount() == 0) return -1;
    return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void HFileListCtrl::SelectRow(long row, bool select) {
    SetItemState(row, select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
}

void HFileListCtrl::ClearSelection() {
    if (GetItemCount() > 0 && GetSelectedItemCount() > 0)
        SetItemState(-1, 0, wxLIST_STATE_SELECTED);
}

void HFileListCtrl::SelectOnly(long row) {
    if (row < 0 || row >= GetItemCount()) return;
    ClearSelection();
    SelectRow(row);
    SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    EnsureVisible(row);
}

size_t HFileListCtrl::SelectDataWhere(const std::function<bool(uint32_t)>& wanted) {
    ClearSelection();
    // The rows are asked in data order, the order of the pane's vector, so
    // that a long list is read front to back rather than in display order.
    std::vector<long> rows;
    for (uint32_t data = 0; data < order_.DataCount(); ++data)
        if (const long row = order_.RowOf(data); row >= 0 && wanted(data)) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    for (long row : rows)
        SelectRow(row);
    if (!rows.empty()) {
        SetItemState(rows.front(), wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        EnsureVisible(rows.front());
    }
    return rows.size();
}

wxString HFileListCtrl::GetRowText(long row, int column) const {
    if (row < 0 || static_cast<size_t>(row) >= order_.size() || column < 0 ||
        column >= GetColumnCount())
        return wxString();
    return OnGetItemText(row, column);
}

wxTextCtrl* HFileListCtrl::EditLabel(long row, wxClassInfo* textControlClass) {
    wxTextCtrl* edit = wxListCtrl::EditLabel(row, textControlClass);
    if (edit && source_ && row >= 0 && static_cast<size_t>(row) < order_.size()) {
        edit->ChangeValue(
            platform::PathToText(source_->GetCellText(order_.DataAt(static_cast<size_t>(row)), 0)));
        edit->SelectAll();
    }
    return edit;
}

wxString HFileListCtrl::OnGetItemText(long item, long column) const {
    if (!source_ || item < 0 || static_cast<size_t>(item) >= order_.size()) return wxString();
    return platform::PathToDisplayText(
        source_->GetCellText(order_.DataAt(static_cast<size_t>(item)), static_cast<int>(column)));
}

int HFileListCtrl::OnGetItemImage(long item) const {
    if (!source_ || item < 0 || static_cast<size_t>(item) >= order_.size()) return -1;
    return source_->GetCellImage(order_.DataAt(static_cast<size_t>(item)));
}
