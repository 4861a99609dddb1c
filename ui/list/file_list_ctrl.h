#pragma once
// HFileListCtrl: the report list of both explorers, a virtual list over rows
// that its pane holds. Its notifications (begin drag, key down, column
// click, right click, activation, end of label editing) travel up to the
// owning pane as command events, where the pane handles them.
//
// How a pane uses it:
//  - keep the rows in a std::vector of the pane's own row type, names as
//    bytes (std::string); implement HFileListCtrl::Source over that vector
//    and hand it to SetSource;
//  - after (re)building the vector call ShowRows(count) (or ShowRows(indices)
//    for a filtered view); nothing is selected afterwards;
//  - a row is addressed by its data index, its index in the vector; display
//    rows map to data indices through GetOrder() / GetRowData();
//  - sort with SortRows(compare, ascending), compare being a three-way
//    comparison of two data indices that ends on the names (see CompareNames
//    and SortRowsBy in desktop/file_rows.h); selection and focus stay with
//    their rows; show the column's arrow with ShowSortIndicator;
//  - GetSelectedItemCount() is immediate, but walking the selection
//    (GetSelectedRows, GetSelectedData) reads every row, and wx 3.2's store
//    searches its selected rows linearly for each: keep walks out of update
//    handlers;
//  - after a re-list reselect with SelectDataWhere, e.g. the names a
//    transfer wrote (HNameList::ContainsFileName);
//  - after changing texts or images in place call RefreshRows.
// Ctrl+A selects every row.
// Every cell is shown through platform::PathToDisplayText: a byte that is not
// valid UTF-8 shows as one replacement mark, so never rebuild a path from a
// shown text. A label being edited holds platform::PathToText of the name
// instead, so that the edited label converts back with PathFromText.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "lib/lists/file_rows.h"

class HFileListCtrl : public wxListCtrl {
public:
    // What the list shows: the pane's rows, by data index.
    class Source {
    public:
        virtual ~Source() = default;
        // The bytes of one cell: file names as the file system gives them,
        // other texts in UTF-8.
        virtual std::string GetCellText(uint32_t data, int column) const = 0;
        // The row's image in the list's small image list, or -1 for none.
        // Asked when the row is painted, so the icon may be looked up here on
        // first use (see HFileKinds).
        virtual int GetCellImage(uint32_t data) const;
    };

    HFileListCtrl() = default;
    // A virtual report list; style adds to wxLC_REPORT | wxLC_VIRTUAL.
    HFileListCtrl(wxWindow* parent, wxWindowID id, long style = 0,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    bool Create(wxWindow* parent, wxWindowID id, long style = 0,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // The rows to show (not owned; null shows empty cells).
    void SetSource(const Source* source) { source_ = source; }
    // Shows count rows in vector order, or the given data indices in their
    // order. Cancels a label edit; nothing is selected or focused afterwards.
    void ShowRows(size_t count);
    void ShowRows(std::vector<uint32_t> indices);
    // Repaints the rows after their texts or images changed in place.
    void RefreshRows();

    const HRowOrder& GetOrder() const { return order_; }
    // The data index shown at a display row (row must be shown).
    uint32_t GetRowData(long row) const { return order_.DataAt(static_cast<size_t>(row)); }
    // The display row of a data index, or -1.
    long FindRowByData(uint32_t data) const { return order_.RowOf(data); }

    // Sorts the rows by compare(a, b), a three-way comparison of two data
    // indices, ascending or descending (ties by data index). Cancels a label
    // edit; the selected rows and the focused row stay so.
    template <class Compare> void SortRows(Compare compare, bool ascending);
    // Reverses the display order, keeping selection and focus.
    void ReverseRows();

    // The selected display rows in list order.
    std::vector<long> GetSelectedRows() const;
    // The data indices of the selected rows, in list order.
    std::vector<uint32_t> GetSelectedData() const;
    // The first selected row, or -1.
    long GetFirstSelected() const;
    // Selects or deselects one row.
    void SelectRow(long row, bool select = true);
    // Deselects every row.
    void ClearSelection();
    // Selects just this row, focuses it and scrolls it into view.
    void SelectOnly(long row);
    // For a context menu opened on a row: selects just that row unless it is
    // one of the selected rows, as file managers do.
    void SelectForMenu(long row);
    // Selects exactly the shown rows whose data index satisfies wanted (asked
    // once per shown row, in data order) and focuses the first of them.
    // Returns how many were selected.
    size_t SelectDataWhere(const std::function<bool(uint32_t)>& wanted);
    // The shown text of a row in a column ("" outside the list).
    wxString GetRowText(long row, int column) const;
    // Appends a column with its stored width (> 0). Without one the column
    // gets DefaultColumnWidth(), narrowed to its title and texts when rows
    // are first shown; and the first column, the names, gets the width the
    // list has left, following the list's size until a column is resized by
    // hand.
    void AppendColumnWidth(const wxString& title, wxListColumnFormat format, int storedWidth);
    // The default width of a column: 100 pixels of an 8-point system font
    // (13 pixels a line), scaled to this list's font.
    int DefaultColumnWidth() const;

    // Edits a row's name in place; the edit control holds the name's
    // PathToText, whose every byte survives PathFromText of the new label.
    wxTextCtrl* EditLabel(long row, wxClassInfo* textControlClass = wxCLASSINFO(wxTextCtrl));

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;

private:
    // Selection and focus by data index, kept across a reorder.
    struct Kept {
        std::vector<bool> marks;
        size_t selected = 0;
        long focusData = -1;
    };
    Kept Keep();
    void Restore(const Kept& kept);
    void SetRowCount();
    void CancelEdit();
    void OnCharHook(wxKeyEvent& event);
    void FitFirstColumn();
    void FitDefaultColumnsToTexts();
    void OnSize(wxSizeEvent& event);
    void OnColumnEndDrag(wxListEvent& event);

    const Source* source_ = nullptr;
    HRowOrder order_;
    bool fitFirstColumn_ = false;      // the names take the width left
    std::vector<bool> defaultColumns_; // columns without a stored width, not yet fitted

    wxDECLARE_EVENT_TABLE();
};

template <class Compare> void HFileListCtrl::SortRows(Compare compare, bool ascending) {
    const Kept kept = Keep();
    order_.Sort(compare, ascending);
    Restore(kept);
}
