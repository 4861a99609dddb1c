#include "desktop/gui/file_list_ctrl.h"

#include <unordered_map>

HFileListCtrl::HFileListCtrl(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                             const wxSize& size) {
    Create(parent, id, style, pos, size);
}

bool HFileListCtrl::Create(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                           const wxSize& size) {
    return wxListCtrl::Create(parent, id, pos, size, wxLC_REPORT | style);
}

std::vector<long> HFileListCtrl::GetSelectedRows() const {
    std::vector<long> rows;
    for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(row);
    return rows;
}

long HFileListCtrl::GetFirstSelected() const {
    return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void HFileListCtrl::SelectRow(long row, bool select) {
    SetItemState(row, select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
}

void HFileListCtrl::ClearSelection() {
    for (long row : GetSelectedRows())
        SelectRow(row, false);
}

wxString HFileListCtrl::GetRowText(long row, int column) const {
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount())
        return wxString();
    return GetItemText(row, column);
}

long HFileListCtrl::FindRowByData(wxIntPtr data) const {
    for (long row = 0; row < GetItemCount(); ++row)
        if (static_cast<wxIntPtr>(GetItemData(row)) == data) return row;
    return -1;
}

namespace {
int wxCALLBACK CallCompare(wxIntPtr a, wxIntPtr b, wxIntPtr compare) {
    return (*reinterpret_cast<const HFileListCtrl::Compare*>(compare))(a, b);
}
} // namespace

bool HFileListCtrl::SortRows(const Compare& compare) {
    // Some list implementations drop the selection when they sort; the rows
    // keep it here, found again by their item data.
    std::vector<wxUIntPtr> selected;
    for (long row : GetSelectedRows())
        selected.push_back(GetItemData(row));
    const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    const wxUIntPtr focusedData = focused >= 0 ? GetItemData(focused) : 0;

    const bool sorted = SortItems(CallCompare, reinterpret_cast<wxIntPtr>(&compare));

    ClearSelection();
    for (wxUIntPtr data : selected)
        if (long row = FindRowByData(static_cast<wxIntPtr>(data)); row >= 0) SelectRow(row);
    if (focused >= 0)
        if (long row = FindRowByData(static_cast<wxIntPtr>(focusedData)); row >= 0)
            SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    return sorted;
}

bool HFileListCtrl::SortRowsByColumn(int column, const TextCompare& compare) {
    std::unordered_map<wxIntPtr, wxString> texts;
    texts.reserve(static_cast<size_t>(GetItemCount()));
    for (long row = 0; row < GetItemCount(); ++row)
        texts.emplace(static_cast<wxIntPtr>(GetItemData(row)), GetRowText(row, column));
    const wxString none;
    auto textOf = [&](wxIntPtr data) -> const wxString& {
        const auto it = texts.find(data);
        return it != texts.end() ? it->second : none;
    };
    return SortRows([&](wxIntPtr a, wxIntPtr b) { return compare(a, textOf(a), b, textOf(b)); });
}
