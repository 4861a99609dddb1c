#pragma once
// HFileListCtrl: the report list of both explorers, a native table over rows
// that its pane holds, so that a screen reader reads it as a table with named
// column headers and readable cells: a tree view on GTK (wxDataViewCtrl), the
// list view on Windows (wxListCtrl in virtual report mode; SONGDOCK_LIST_REPORT
// builds that half elsewhere too, over wx's generic list). Its
// notifications (begin drag, key down, column click, right click,
// activation, end of label editing) travel up to the owning pane as the
// list events of a report list (wxEVT_LIST_*), where the pane handles them.
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
//    and SortRowsBy in lib/lists/file_rows.h); selection and focus stay with
//    their rows; show the column's arrow with ShowSortIndicator;
//  - walking the selection (GetSelectedRows, GetSelectedData) asks the table
//    once; keep walks out of update handlers all the same;
//  - after a re-list reselect with SelectDataWhere, e.g. the names a
//    transfer wrote (HNameList::ContainsFileName);
//  - after changing texts or images in place call RefreshRows;
//  - name the table with SetTableName, as a screen reader should call it.
// Ctrl+A selects every row; typing the start of a name moves to it; the
// context-menu key and Shift+F10 ask for the menu at the focused row.
// Every cell is shown through platform::PathToDisplayText: a byte that is not
// valid UTF-8 shows as one replacement mark, so never rebuild a path from a
// shown text. A label being edited shows the same marks; the label the pane
// hears is path text that converts back with PathFromText (see EditLabel).
// Every column has a width of its own: a column left to size itself would
// make the table measure every row. How the widths are chosen and which are
// stored: HColumnWidths.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/defs.h>

#if defined(__WXMSW__) && !defined(SONGDOCK_LIST_REPORT)
#define SONGDOCK_LIST_REPORT 1
#endif

#if SONGDOCK_LIST_REPORT
#include <wx/imaglist.h>
#else
#include <wx/dataview.h>
#endif
#include <wx/listctrl.h>
#include <wx/timer.h>

#include "lib/lists/file_rows.h"
#include "ui/list/column_widths.h"

class HFileKinds;
class wxImageList;
class wxTextCtrl;

#if SONGDOCK_LIST_REPORT
using HFileListBase = wxListCtrl;
#else
using HFileListBase = wxDataViewCtrl;
#endif

class HFileListCtrl : public HFileListBase {
public:
    // What the list shows: the pane's rows, by data index.
    class Source {
    public:
        virtual ~Source() = default;
        // The bytes of one cell: file names as the file system gives them,
        // other texts in UTF-8.
        virtual std::string GetCellText(uint32_t data, int column) const = 0;
        // The row's image in the list's small image list, or -1 for none.
        // Asked when the row is shown, so the icon may be looked up here on
        // first use (see HFileKinds).
        virtual int GetCellImage(uint32_t data) const;
    };

    HFileListCtrl() = default;
    // A table of several selectable rows; wxLC_EDIT_LABELS in style lets
    // EditLabel rename rows (other wxLC_ flags are ignored).
    HFileListCtrl(wxWindow* parent, wxWindowID id, long style = 0,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    bool Create(wxWindow* parent, wxWindowID id, long style = 0,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    ~HFileListCtrl() override;

    // The rows to show (not owned; null shows empty cells).
    void SetSource(const Source* source) { source_ = source; }
    // The small images that Source::GetCellImage indexes (not owned).
    void SetImageList(wxImageList* images, int which = wxIMAGE_LIST_SMALL);
    wxImageList* GetImageList(int which = wxIMAGE_LIST_SMALL) const;
    // A pane's icons (not owned): its image list, and each image drawn for
    // the window's scale.
    void SetKinds(const HFileKinds* kinds);
    // The name a screen reader gives the table.
    void SetTableName(const wxString& name);

    // Shows count rows in vector order, or the given data indices in their
    // order. Cancels a label edit; nothing is selected afterwards, and the
    // first row is the current one. FocusRow then tells a screen reader the
    // row it makes current, as the table does not for a new listing.
    void ShowRows(size_t count);
    void ShowRows(std::vector<uint32_t> indices);
    // Shows the rows again after their texts or images changed in place.
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
    // Shows count rows in vector order sorted by compare, as ShowRows and
    // SortRows do, with the table told once.
    template <class Compare> void ShowRowsSorted(size_t count, Compare compare, bool ascending);
    // Reverses the display order, keeping selection and focus.
    void ReverseRows();
    // Shows the sort arrow in one column's header (-1: none).
    void ShowSortIndicator(int column, bool ascending);

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
    // The selected rows, the focused one and the one at the top of the view
    // by their names (the bytes of their first column), to find them again
    // in a new listing.
    struct NamedRows {
        std::vector<std::string> selected;
        std::string focused;
        bool hasFocused = false;
        std::string top;
        bool hasTop = false;
        long focusBelowTop = 0; // rows from the top row to the focused one
        bool empty() const { return selected.empty() && !hasFocused; }
    };
    NamedRows KeepNames() const;
    // Selects the rows of those names that are shown and focuses the one
    // that had the focus (else the first selected one). The view stays where
    // it was when the listing has the same rows from the top row to the
    // focused one; otherwise the focused row is scrolled into view.
    void RestoreNames(const NamedRows& rows);
    // The shown text of a row in a column ("" outside the list).
    wxString GetRowText(long row, int column) const;
    // The image of a row in the small image list, or -1.
    int GetRowImage(long row) const;
    // The focused row (the table's cursor), or -1.
    long GetFocusedRow() const;
    // Moves the focus to a row without changing the selection. keepView: a
    // row that is current already is left as it is (made current again, the
    // table would scroll it into view anew), for a re-list that keeps the view.
    void FocusRow(long row, bool keepView = false);
    // The display row at a point in client coordinates, or -1.
    long RowAtPoint(const wxPoint& point) const;
    // The first row shown at the top of the table, or -1.
    long GetTopRow() const;

    // Appends a column with its stored width (> 0). Without one the column
    // gets DefaultColumnWidth(), narrowed to its title and texts when rows
    // are first shown; and the first column, the names, gets the width the
    // list has left, following the list's size until a column is resized by
    // hand.
    void AppendColumnWidth(const wxString& title, wxListColumnFormat format, int storedWidth);
    // The default width of a column: 100 pixels of an 8-point system font
    // (13 pixels a line), scaled to this list's font.
    int DefaultColumnWidth() const;
    // The number of columns, as a signed count.
    int ColumnCount() const { return static_cast<int>(GetColumnCount()); }
    // The width a column has now.
    int GetColumnWidth(int column) const;
    // The width to store for a column: one the person (or SetColumnWidth)
    // set, or 0 for a width fitted to the listing, which is never stored.
    int GetStoredColumnWidth(int column) const;
#if SONGDOCK_LIST_REPORT
    // Sets a column's width as the person's own.
    bool SetColumnWidth(int column, int width) override;
    bool DeleteAllColumns() override;
#else
    // Sets a column's width as the person's own.
    void SetColumnWidth(int column, int width);
    void DeleteAllColumns();
#endif

    // Edits a row's name in place; the field shows the name as the list
    // does, and the label the pane hears converts back with PathFromText to
    // the name's own bytes wherever it was left as it was (see
    // EditedLabelText). Return accepts, Escape cancels, leaving the field or
    // scrolling the list accepts; the pane hears wxEVT_LIST_END_LABEL_EDIT
    // either way. In a list of editable labels a slow second click on the
    // name of the only selected row asks its pane for ids::kRename, as F2
    // does.
    wxTextCtrl* EditLabel(long row);
#if SONGDOCK_LIST_REPORT
    // The field of a name being edited, or null.
    wxTextCtrl* GetEditControl() const { return HFileListBase::GetEditControl(); }
    // (The number of rows shown is the list's own GetItemCount.)
#else
    // The field of a name being edited, or null.
    wxTextCtrl* GetEditControl() const { return edit_; }
    // The number of rows shown.
    long GetItemCount() const { return static_cast<long>(order_.size()); }
#endif
    // The number of rows selected.
    int GetSelectedItemCount() const;
    // Whether a row is selected.
    bool IsRowSelected(long row) const;
    // Where a row lies in client coordinates: the whole row, the name's icon
    // or the name's text beside it. Empty for a row not shown or laid out.
    enum class RowPart { Bounds, Icon, Label };
    wxRect GetRowRect(long row, RowPart part = RowPart::Bounds) const;
#if !SONGDOCK_LIST_REPORT
    using wxDataViewCtrl::EnsureVisible;
#endif
    void EnsureVisible(long row);

#if SONGDOCK_LIST_REPORT
protected:
    // The list asks for what it shows.
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;
    bool TryBefore(wxEvent& event) override;
#endif

private:
    // ---- Both halves (file_list_ctrl_shared.cpp) ----

    // SelectDataWhere without scrolling; returns the selected display rows.
    std::vector<long> SelectData(const std::function<bool(uint32_t)>& wanted);

    // Selection and focus by data index, kept across a reorder.
    struct Kept {
        std::vector<bool> marks;
        size_t selected = 0;
        long focusData = -1;
    };
    Kept Keep();
    void Restore(const Kept& kept);
    void Reload();
    void SetRowCount();
    void CancelEdit();
    // The number of rows shown, as a signed count.
    long RowCount() const { return static_cast<long>(order_.size()); }
    wxString CellText(long row, int column) const;
    bool FindByPrefix(const wxString& prefix, long from);
    // Scrolls the list so that a row is the first one shown.
    void ScrollRowToTop(long row);

    void OnCharHook(wxKeyEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    // Queues one update of the window's buttons and menus after a selection change.
    void SelectionChanged();
    // Updates them now.
    void UpdateCommandsNow();
    void AskForRename();
    // Measures the texts that fitted columns still need and fits them.
    void FitColumns();
    void ApplyWidths(const std::vector<HColumnWidths::Change>& changes);
    // The width the columns may share without a horizontal scroll bar.
    int Available() const;
    // The width a column's title needs.
    int TitleWidth(int column) const;
    void OnSize(wxSizeEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnIdle(wxIdleEvent& event);

    const Source* source_ = nullptr;
    wxImageList* images_ = nullptr;
    const HFileKinds* kinds_ = nullptr;
    HRowOrder order_;
    HColumnWidths widths_;
    bool editable_ = false;
    std::string editBytes_;            // the bytes of the name being edited
    wxTimer renameTimer_;              // a slow click on the selected name
    long clickedRow_ = -1;
    bool pressOnSelected_ = false;     // the press fell on the only selected row
    bool hadClick_ = false;            // lastPressTime_ holds a click
    uint32_t lastPressTime_ = 0;       // the system's time of the last press
    wxString typed_;                   // the start of a name being typed
    wxLongLong typedAt_ = 0;
    bool uiUpdateQueued_ = false;      // an update of the buttons and menus is queued

#if SONGDOCK_LIST_REPORT
    // ---- The list view (file_list_ctrl_report.cpp) ----

    // Selects or deselects a row (-1: every row) as the program, not the person.
    void SetSelected(long row, bool select);
    // The window the rows are drawn in (the list itself, or the inner window
    // of wx's generic list), and points of the list's client area in it.
    wxWindow* RowsWindow() const;
    wxPoint ToRows(const wxPoint& point) const;
    wxPoint FromRows(const wxPoint& point) const;
    // Adds the pane's images that the control's copy lacks.
    void CopyNewImages() const;
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnLeftDoubleClick(wxMouseEvent& event);
    void OnSelectionEvent(wxListEvent& event);
    void OnBeginDrag(wxListEvent& event);
    void OnBeginLabelEdit(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);

    std::unique_ptr<wxImageList> shown_; // the control's copy of the pane's images
    wxPoint pressPoint_;               // where the left button last went down
    bool editByCall_ = false;          // EditLabel is opening the field
    long editRow_ = -1;
    long editTop_ = -1;                // the top row when the field opened
    int programmatic_ = 0;             // the program, not the person, changes the selection
#else
    // ---- The tree view (file_list_ctrl.cpp) ----
    class Model;

    wxDataViewItem ItemAt(long row) const;
    long RowOf(const wxDataViewItem& item) const;
    wxBitmapBundle CellIcon(long row) const;
    void SendListEvent(wxEventType type, long row, const wxPoint& point = wxDefaultPosition);
    void EndEdit(bool cancelled);
    void OnHeaderClick(wxDataViewEvent& event);
    void OnActivated(wxDataViewEvent& event);
    void OnItemMenu(wxDataViewEvent& event);
    void OnSelectionChanged(wxDataViewEvent& event);
    void OnEditKey(wxKeyEvent& event);
    // Lays the name's field over its cell, at rect (client coordinates).
    void PlaceEdit(const wxRect& rect);
    // A name being edited stays on its row: see the definition.
    void OnScrolledWhileEditing();
    // A click without a drag or a modifier, at point.
    void OnPlainClick(wxPoint point, uint32_t pressTime);
    void OnEditFocusLost(wxFocusEvent& event);

    wxObjectDataPtr<Model> model_;
    mutable std::vector<wxBitmapBundle> icons_; // one per image, made on first use
    wxTextCtrl* edit_ = nullptr;
    long editRow_ = -1;
    int editRowTop_ = 0; // where the edited row lay when its field opened
    bool tellNextFocus_ = false;       // the listing is new: its current row is told
    wxTimer tellRow_;                  // the current row, told after entering
    bool reloading_ = false;           // the rows are being replaced
#endif

    wxDECLARE_EVENT_TABLE();
};

template <class Compare>
void HFileListCtrl::ShowRowsSorted(size_t count, Compare compare, bool ascending) {
    CancelEdit();
    order_.Reset(count);
    order_.Sort(compare, ascending);
    SetRowCount();
}

template <class Compare> void HFileListCtrl::SortRows(Compare compare, bool ascending) {
    const Kept kept = Keep();
    order_.Sort(compare, ascending);
    Reload();
    Restore(kept);
}
