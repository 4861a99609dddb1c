#pragma once
// HFileListCtrl: the report list of both explorers. It behaves as a plain
// wxListCtrl; its notifications (begin drag, key down, column click, right
// click, activation, end of label editing) travel up to the owning pane as
// command events, where the pane handles them. The helpers below give the
// panes the selection and sorting in the terms they use.
#include <functional>
#include <vector>

#include <wx/listctrl.h>

class HFileListCtrl : public wxListCtrl {
public:
    // Compares the item data of two rows: negative, zero or positive.
    using Compare = std::function<int(wxIntPtr, wxIntPtr)>;
    // Compares two rows by their item data and their texts in one column.
    using TextCompare =
        std::function<int(wxIntPtr a, const wxString& textA, wxIntPtr b, const wxString& textB)>;

    HFileListCtrl() = default;
    // A report list; style adds to wxLC_REPORT.
    HFileListCtrl(wxWindow* parent, wxWindowID id, long style = 0,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    bool Create(wxWindow* parent, wxWindowID id, long style = 0,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // The selected rows in list order.
    std::vector<long> GetSelectedRows() const;
    // The first selected row, or -1.
    long GetFirstSelected() const;
    // Selects or deselects one row.
    void SelectRow(long row, bool select = true);
    // Deselects every row.
    void ClearSelection();
    // The text of a row in a column ("" outside the list).
    wxString GetRowText(long row, int column) const;
    // The row whose item data is data, or -1.
    long FindRowByData(wxIntPtr data) const;
    // Sorts the rows by their item data; selected rows stay selected.
    bool SortRows(const Compare& compare);
    // Sorts the rows by their item data and their texts in column, each text
    // read once before sorting (a comparison never searches the rows);
    // selected rows stay selected.
    bool SortRowsByColumn(int column, const TextCompare& compare);
};
