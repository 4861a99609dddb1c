// The file list as the list view in virtual report mode (wxListCtrl with
// wxLC_REPORT | wxLC_VIRTUAL): the native list of Windows, which every
// Windows screen reader reads as it reads the shell's lists. Elsewhere it is
// wx's generic list. The control asks for the cells of the rows it shows;
// its selection and focus are by display row, so a reorder takes them along
// by data index. Label editing, dragging, activation, column clicks, right
// clicks and key presses are the control's own notifications; the list only
// amends those whose meaning it adds to (a label's bytes, a drag's point).
#include "ui/list/file_list_ctrl.h"

#include <algorithm>
#include <memory>

#include <wx/app.h>
#include <wx/imaglist.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/time.h>
#include <wx/wupdlock.h>

#include "base/platform/gui/accessibility.h"
#include "base/platform/path_text.h"
#include "ui/list/edited_label.h"

// clang-format off
wxBEGIN_EVENT_TABLE(HFileListCtrl, wxListCtrl)
    EVT_SIZE(HFileListCtrl::OnSize)
    EVT_SET_FOCUS(HFileListCtrl::OnSetFocus)
    EVT_IDLE(HFileListCtrl::OnIdle)
    EVT_CHAR_HOOK(HFileListCtrl::OnCharHook)
    EVT_KEY_DOWN(HFileListCtrl::OnKeyDown)
    EVT_CHAR(HFileListCtrl::OnChar)
    EVT_LEFT_DOWN(HFileListCtrl::OnLeftDown)
    EVT_LEFT_UP(HFileListCtrl::OnLeftUp)
    EVT_LEFT_DCLICK(HFileListCtrl::OnLeftDoubleClick)
    EVT_CONTEXT_MENU(HFileListCtrl::OnContextMenu)
    EVT_LIST_ITEM_SELECTED(wxID_ANY, HFileListCtrl::OnSelectionEvent)
    EVT_LIST_ITEM_DESELECTED(wxID_ANY, HFileListCtrl::OnSelectionEvent)
    EVT_LIST_ITEM_FOCUSED(wxID_ANY, HFileListCtrl::OnSelectionEvent)
    EVT_LIST_BEGIN_DRAG(wxID_ANY, HFileListCtrl::OnBeginDrag)
    EVT_LIST_BEGIN_LABEL_EDIT(wxID_ANY, HFileListCtrl::OnBeginLabelEdit)
    EVT_LIST_END_LABEL_EDIT(wxID_ANY, HFileListCtrl::OnEndLabelEdit)
wxEND_EVENT_TABLE()
// clang-format on


HFileListCtrl::HFileListCtrl(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                             const wxSize& size) {
    Create(parent, id, style, pos, size);
}

bool HFileListCtrl::Create(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                           const wxSize& size) {
    editable_ = (style & wxLC_EDIT_LABELS) != 0;
    // Several rows selectable, the selection shown without the focus and the
    // whole row selected: wx's list view has these in report mode.
    const long own = wxLC_REPORT | wxLC_VIRTUAL | (editable_ ? wxLC_EDIT_LABELS : 0) |
                     (style & wxBORDER_MASK);
    if (!wxListCtrl::Create(parent, id, pos, size, own)) return false;
    renameTimer_.SetOwner(this);
    // Asked once the events that came before it are handled: a double click
    // read late, with its second press, cancels it.
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { CallAfter([this] { AskForRename(); }); },
         renameTimer_.GetId());
    return true;
}

HFileListCtrl::~HFileListCtrl() {
    renameTimer_.Stop();
    // The control lets go of its images before they go.
    wxListCtrl::SetImageList(nullptr, wxIMAGE_LIST_SMALL);
}

void HFileListCtrl::SetImageList(wxImageList* images, int) {
    images_ = images;
    kinds_ = nullptr;
    // The control draws from a copy of its own, which lives as long as it
    // does: a pane's images may go before the pane's windows do.
    std::unique_ptr<wxImageList> shown;
    if (images) {
        const wxSize size = images->GetSize();
        shown = std::make_unique<wxImageList>(size.x, size.y, true, images->GetImageCount());
    }
    wxListCtrl::SetImageList(shown.get(), wxIMAGE_LIST_SMALL);
    shown_ = std::move(shown);
    CopyNewImages();
}

void HFileListCtrl::CopyNewImages() const {
    if (!images_ || !shown_) return;
    for (int image = shown_->GetImageCount(); image < images_->GetImageCount(); ++image)
        shown_->Add(images_->GetBitmap(image));
}

// ---- Cells ---------------------------------------------------------------

wxString HFileListCtrl::OnGetItemText(long item, long column) const {
    return CellText(item, static_cast<int>(column));
}

int HFileListCtrl::OnGetItemImage(long item) const {
    if (!images_ || !shown_) return -1;
    // The pane's images grow as its rows are first shown.
    const int image = GetRowImage(item);
    if (image >= shown_->GetImageCount()) CopyNewImages();
    return image < shown_->GetImageCount() ? image : -1;
}

// ---- Columns -------------------------------------------------------------

void HFileListCtrl::AppendColumnWidth(const wxString& title, wxListColumnFormat format,
                                      int storedWidth) {
    if (ColumnCount() == 0) widths_.Clear();
    const int width = widths_.Add(storedWidth, DefaultColumnWidth());
    AppendColumn(title, format, width);
    // A list off the screen is fitted when it is sized or given rows: each
    // fit here would lay its header out again, once per column.
    if (widths_.FillsFirst() && IsShownOnScreen()) FitColumns();
}

void HFileListCtrl::ApplyWidths(const std::vector<HColumnWidths::Change>& changes) {
    // Drawn once for all the columns that change, not once per column.
    wxWindowUpdateLocker drawnOnce;
    if (changes.size() > 1) drawnOnce.Lock(this);
    for (const HColumnWidths::Change& change : changes)
        wxListCtrl::SetColumnWidth(change.column, change.width);
}

void HFileListCtrl::OnIdle(wxIdleEvent& event) {
    event.Skip();
    // A scroll of the rows while a name is edited is the person's (the row
    // was brought into view before the field opened): the name is taken as
    // it stands, so that the field never lies over another row.
    if (editRow_ >= 0 && GetEditControl() && GetTopItem() != editTop_) EndEditLabel(false);
    if (!IsShownOnScreen() || !widths_.Watching()) return;
    std::vector<int> shown;
    for (int c = 0; c < ColumnCount(); ++c)
        shown.push_back(wxListCtrl::GetColumnWidth(c));
    widths_.Watch(shown, wxGetLocalTimeMillis().GetValue());
}

int HFileListCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= ColumnCount()) return 0;
    return widths_.Reported(column, wxListCtrl::GetColumnWidth(column));
}

bool HFileListCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount() || width <= 0) return false;
    ApplyWidths(widths_.SetByHand(column, width, Available(), DefaultColumnWidth(),
                                  wxGetLocalTimeMillis().GetValue()));
    return true;
}

bool HFileListCtrl::DeleteAllColumns() {
    CancelEdit();
    wxListCtrl::DeleteAllColumns();
    widths_.Clear();
    return true;
}

void HFileListCtrl::ShowSortIndicator(int column, bool ascending) {
    wxListCtrl::ShowSortIndicator(column, ascending);
}

int HFileListCtrl::TitleWidth(int column) const {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    GetColumn(column, item);
    // The title with room for the sort arrow.
    return GetTextExtent(item.GetText()).x + 16 + 2 * GetCharWidth();
}

// ---- Rows ----------------------------------------------------------------



void HFileListCtrl::SetRowCount() {
    // A new listing has nothing selected.
    SetSelected(-1, false);
    Reload();
    widths_.NewListing(order_.size());
    FitColumns();
    // Its first row is the current one, at the top: entering the list reads
    // that row, and the keys move on from it.
    if (!order_.empty()) {
        FocusRow(0);
        wxListCtrl::EnsureVisible(0);
    }
    SelectionChanged();
}

void HFileListCtrl::Reload() {
    // The control asks for every cell it shows again.
    if (GetItemCount() != RowCount()) SetItemCount(RowCount());
    Refresh();
}

void HFileListCtrl::RefreshRows() {
    CancelEdit();
    Refresh();
}


void HFileListCtrl::Restore(const Kept& kept) {
    // The control's selection is by display row: it is made anew from the
    // marks, only where there was one.
    if (kept.focusData >= 0)
        if (const long row = order_.RowOf(static_cast<uint32_t>(kept.focusData)); row >= 0)
            FocusRow(row);
    if (kept.selected >= order_.size() && !order_.empty()) {
        SetSelected(-1, true);
    } else if (kept.selected > 0) {
        SetSelected(-1, false);
        for (long row : order_.RowsMarked(kept.marks))
            SetSelected(row, true);
    }
    SelectionChanged();
}


// ---- Selection and focus ---------------------------------------------------

void HFileListCtrl::SetSelected(long row, bool select) {
    if (GetItemCount() == 0) return;
    ++programmatic_;
    SetItemState(row, select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    --programmatic_;
}

// The person's changes (clicks and keys the control handles) are followed
// before the next key is read: a Tab typed straight after a selection must
// find the commands it enables. The program's own come in runs, and queue
// one update for the run.
void HFileListCtrl::OnSelectionEvent(wxListEvent& event) {
    event.Skip();
    if (programmatic_ > 0)
        SelectionChanged();
    else
        UpdateCommandsNow();
}

int HFileListCtrl::GetSelectedItemCount() const {
    return order_.empty() ? 0 : wxListCtrl::GetSelectedItemCount();
}

std::vector<long> HFileListCtrl::GetSelectedRows() const {
    std::vector<long> rows;
    if (GetSelectedItemCount() == 0) return rows;
    for (long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row >= 0;
         row = GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        if (row < RowCount()) rows.push_back(row);
    return rows;
}

void HFileListCtrl::SelectRow(long row, bool select) {
    if (row < 0 || row >= RowCount()) return;
    SetSelected(row, select);
    SelectionChanged();
}

void HFileListCtrl::ClearSelection() {
    if (GetSelectedItemCount() == 0) return;
    SetSelected(-1, false);
    SelectionChanged();
}

void HFileListCtrl::SelectOnly(long row) {
    if (row < 0 || row >= RowCount()) return;
    FocusRow(row);
    SetSelected(-1, false);
    SetSelected(row, true);
    wxListCtrl::EnsureVisible(row);
    SelectionChanged();
}

std::vector<long> HFileListCtrl::SelectData(const std::function<bool(uint32_t)>& wanted) {
    // The rows are asked in data order, the order of the pane's vector, so
    // that a long list is read front to back rather than in display order.
    std::vector<long> rows;
    for (uint32_t data = 0; data < order_.DataCount(); ++data)
        if (const long row = order_.RowOf(data); row >= 0 && wanted(data)) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    if (!rows.empty()) FocusRow(rows.front());
    SetSelected(-1, false);
    if (!rows.empty() && rows.size() == order_.size()) {
        SetSelected(-1, true);
    } else {
        for (long row : rows)
            SetSelected(row, true);
    }
    SelectionChanged();
    return rows;
}

long HFileListCtrl::GetFocusedRow() const {
    if (order_.empty()) return -1;
    const long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    return row < RowCount() ? row : -1;
}

void HFileListCtrl::FocusRow(long row, bool) {
    // The control tells a screen reader its current row itself; making a
    // row current does not scroll the list.
    if (row < 0 || row >= RowCount()) return;
    ++programmatic_;
    SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    --programmatic_;
}

void HFileListCtrl::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    // Entering the list always lands on a row: the one it had, else the first.
    if (RowCount() > 0 && GetFocusedRow() < 0) FocusRow(0);
}

void HFileListCtrl::ScrollRowToTop(long row) {
    if (row < 0 || row >= RowCount()) return;
    // Laid out first (the control places rows it was just given when asked
    // to show one), then moved by whole rows.
    wxListCtrl::EnsureVisible(row);
    wxRect rect;
    if (!GetItemRect(row, rect) || rect.height <= 0) return;
    const long top = GetTopItem();
    if (top != row) ScrollList(0, static_cast<int>(row - top) * rect.height);
}

long HFileListCtrl::RowAtPoint(const wxPoint& point) const {
    int flags = 0;
    long column = -1;
    const long row = HitTest(ToRows(point), flags, &column);
    return row >= 0 && row < RowCount() && (flags & wxLIST_HITTEST_ONITEM) ? row : -1;
}

long HFileListCtrl::GetTopRow() const {
    if (order_.empty()) return -1;
    return std::clamp(GetTopItem(), 0L, RowCount() - 1);
}

void HFileListCtrl::EnsureVisible(long row) {
    if (row >= 0 && row < RowCount()) wxListCtrl::EnsureVisible(row);
}

// ---- Rows by place ------------------------------------------------------------

wxWindow* HFileListCtrl::RowsWindow() const {
#ifdef __WXMSW__
    return const_cast<HFileListCtrl*>(this);
#else
    // The generic list draws its rows in an inner window, made before its
    // header: its first child. Hit tests take points in that window.
    const wxWindowList& children = GetChildren();
    return children.empty() ? const_cast<HFileListCtrl*>(this) : children.front();
#endif
}

wxPoint HFileListCtrl::ToRows(const wxPoint& point) const {
    const wxWindow* rows = RowsWindow();
    return rows == this ? point : rows->ScreenToClient(ClientToScreen(point));
}

wxPoint HFileListCtrl::FromRows(const wxPoint& point) const {
    const wxWindow* rows = RowsWindow();
    return rows == this ? point : ScreenToClient(rows->ClientToScreen(point));
}

bool HFileListCtrl::IsRowSelected(long row) const {
    return row >= 0 && row < RowCount() && GetItemState(row, wxLIST_STATE_SELECTED) != 0;
}

wxRect HFileListCtrl::GetRowRect(long row, RowPart part) const {
    if (row < 0 || row >= RowCount() || ColumnCount() == 0) return wxRect();
    const int code = part == RowPart::Bounds ? wxLIST_RECT_BOUNDS
                     : part == RowPart::Icon ? wxLIST_RECT_ICON
                                             : wxLIST_RECT_LABEL;
    wxRect rect;
    if (!GetItemRect(row, rect, code)) return wxRect();
    return rect.width > 0 && rect.height > 0 ? rect : wxRect();
}

// ---- Notifications to the pane -----------------------------------------------

bool HFileListCtrl::TryBefore(wxEvent& event) {
#ifndef __WXMSW__
    // A drag starts where the button went down, in the list's client
    // coordinates, for every handler (those bound to the list itself among
    // them). The list view gives that point itself; the generic list gives
    // one of the moves after it.
    if (event.GetEventType() == wxEVT_LIST_BEGIN_DRAG && event.GetEventObject() == this)
        static_cast<wxListEvent&>(event).m_pointDrag = pressPoint_;
#endif
    return wxListCtrl::TryBefore(event);
}

void HFileListCtrl::OnBeginDrag(wxListEvent& event) {
    pressOnSelected_ = false;
    renameTimer_.Stop();
    event.Skip();
}

// A second, slow click on the name of the row that was already the only one
// selected asks for a rename, after the time a double click would have
// needed: a double click opens the row instead. The presses are timed as the
// system times a double click, so a busy window that reads them late still
// tells the two apart. (The control's own slow click is refused: see
// OnBeginLabelEdit.)
void HFileListCtrl::OnLeftDown(wxMouseEvent& event) {
    event.Skip();
    const wxPoint point = FromRows(event.GetPosition());
    pressPoint_ = point;
    const long row = RowAtPoint(point);
    const wxWindow* focus = wxWindow::FindFocus();
    const uint32_t pressTime = static_cast<uint32_t>(event.GetTimestamp());
    const long doubleClick = std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC), 100);
    const bool second = hadClick_ && uint32_t(pressTime - lastPressTime_) <= uint32_t(doubleClick);
    hadClick_ = true;
    lastPressTime_ = pressTime;
    clickedRow_ = row;
    renameTimer_.Stop();
    // A plain press on the only selected row of a list that has the keyboard
    // (a click that brings the keyboard to the list is not one).
    pressOnSelected_ = editable_ && !second && row >= 0 && !event.HasAnyModifiers() &&
                       GetSelectedItemCount() == 1 && IsRowSelected(row) && focus &&
                       (focus == this || focus->GetParent() == this) && !GetEditControl() &&
                       GetRowRect(row, RowPart::Label).Contains(point);
}

void HFileListCtrl::OnLeftUp(wxMouseEvent& event) {
    event.Skip();
    if (!pressOnSelected_) return;
    pressOnSelected_ = false;
    renameTimer_.StartOnce(std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC), 100) + 50);
}

void HFileListCtrl::OnLeftDoubleClick(wxMouseEvent& event) {
    event.Skip();
    pressOnSelected_ = false;
    clickedRow_ = -1;
    renameTimer_.Stop();
}

void HFileListCtrl::OnCharHook(wxKeyEvent& event) {
    // Ctrl+A in the list itself.
    if (event.GetKeyCode() == 'A' && event.GetModifiers() == wxMOD_CONTROL && RowCount() > 0 &&
        !GetEditControl()) {
        SetSelected(-1, true);
        UpdateCommandsNow();
        return;
    }
    event.Skip();
}

void HFileListCtrl::OnKeyDown(wxKeyEvent& event) {
    pressOnSelected_ = false;
    renameTimer_.Stop();
    const int code = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    const long focused = GetFocusedRow();
    // Home and End select the first and the last row, as from a selected row.
    if ((code == WXK_HOME || code == WXK_END || code == WXK_NUMPAD_HOME ||
         code == WXK_NUMPAD_END) &&
        modifiers == wxMOD_NONE && RowCount() > 0) {
        SelectOnly(code == WXK_HOME || code == WXK_NUMPAD_HOME ? 0 : RowCount() - 1);
        UpdateCommandsNow();
        return;
    }
    // Space selects just the current row, Ctrl+Space adds it or takes it
    // away, as in the shell's lists (the list's own would open the row);
    // a space within a name being typed is part of the name.
    const bool typing = !typed_.empty() && wxGetLocalTimeMillis() - typedAt_ <= 1000;
    if (code == WXK_SPACE && focused >= 0 && !typing &&
        (modifiers == wxMOD_NONE || modifiers == wxMOD_CONTROL)) {
        if (modifiers == wxMOD_CONTROL) {
            SetSelected(focused, !IsRowSelected(focused));
        } else {
            SetSelected(-1, false);
            SetSelected(focused, true);
        }
        UpdateCommandsNow();
        return;
    }
    // The control tells the pane of the key itself (wxEVT_LIST_KEY_DOWN).
    event.Skip();
}

// ---- Editing a name ------------------------------------------------------------

wxTextCtrl* HFileListCtrl::EditLabel(long row) {
    if (!editable_ || !source_ || row < 0 || row >= RowCount()) return nullptr;
    CancelEdit();
    renameTimer_.Stop();
    // Brought into view before the field opens: a scroll after that is the
    // person's.
    wxListCtrl::EnsureVisible(row);
    Update();
    editBytes_ = source_->GetCellText(GetRowData(row), 0);
    editRow_ = row;
    editByCall_ = true;
    wxTextCtrl* edit = wxListCtrl::EditLabel(row);
    editByCall_ = false;
    if (!edit) {
        editRow_ = -1;
        return nullptr;
    }
    editTop_ = GetTopItem();
    wxListItem title;
    title.SetMask(wxLIST_MASK_TEXT);
    if (GetColumn(0, title)) platform::SetAccessibleName(edit, title.GetText());
    edit->SelectAll();
    return edit;
}

void HFileListCtrl::OnBeginLabelEdit(wxListEvent& event) {
    if (editByCall_) {
        event.Skip();
        return;
    }
    // The control's own start of an edit (its slow second click) is
    // refused: the list's own asks the pane, which knows whether its names
    // may change now.
    event.Veto();
}


void HFileListCtrl::OnEndLabelEdit(wxListEvent& event) {
    const long row = editRow_;
    editRow_ = -1;
    // The label the pane hears is path text that converts back to the name's
    // own bytes wherever the shown name was left as it was.
    if (!event.IsEditCancelled()) {
        const wxString label = EditedLabelText(editBytes_, event.GetLabel());
        event.m_item.SetText(label);
        // A name left as it was is nothing to rename.
        if (label == platform::PathToText(editBytes_)) event.SetEditCanceled(true);
    }
    if (row >= 0) event.m_itemIndex = event.m_item.m_itemId = row;
    // The list never takes a text itself: its rows are the pane's.
    event.Veto();
    event.Skip();
}

void HFileListCtrl::CancelEdit() {
    if (GetEditControl()) EndEditLabel(true);
}
