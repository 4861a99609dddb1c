// The file list as a GTK tree view (wxDataViewCtrl over a virtual model).
#include "ui/list/file_list_ctrl.h"

#include <algorithm>
#include <cstdlib>

#include <wx/app.h>
#include <wx/imaglist.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/time.h>

#include "base/platform/gui/accessibility.h"
#include "base/platform/gui/native_list.h"
#include "base/platform/path_text.h"
#include "ui/list/edited_label.h"
#include "ui/list/file_kinds.h"

namespace {

// The time a screen reader has to read a table it enters before hearing
// which row is current.
constexpr int kTellRowMs = 150;

} // namespace

// The table's rows, asked by display row; the list holds them.
class HFileListCtrl::Model : public wxDataViewVirtualListModel {
public:
    explicit Model(const HFileListCtrl& list) : wxDataViewVirtualListModel(0), list_(list) {}

    unsigned int GetColumnCount() const override {
        return static_cast<unsigned int>(std::max(1, list_.ColumnCount()));
    }
    wxString GetColumnType(unsigned int column) const override {
        return column == 0 ? "wxDataViewIconText" : "string";
    }
    void GetValueByRow(wxVariant& value, unsigned int row, unsigned int column) const override {
        const long at = static_cast<long>(row);
        if (column == 0)
            value << wxDataViewIconText(list_.CellText(at, 0), list_.CellIcon(at));
        else
            value = list_.CellText(at, static_cast<int>(column));
    }
    bool SetValueByRow(const wxVariant&, unsigned int, unsigned int) override {
        // Names change through the pane, never in the table.
        return false;
    }

private:
    const HFileListCtrl& list_;
};


// clang-format off
wxBEGIN_EVENT_TABLE(HFileListCtrl, wxDataViewCtrl)
    EVT_SIZE(HFileListCtrl::OnSize)
    EVT_SET_FOCUS(HFileListCtrl::OnSetFocus)
    EVT_IDLE(HFileListCtrl::OnIdle)
    EVT_KEY_DOWN(HFileListCtrl::OnKeyDown)
    EVT_CHAR(HFileListCtrl::OnChar)
    EVT_CONTEXT_MENU(HFileListCtrl::OnContextMenu)
    EVT_DATAVIEW_COLUMN_HEADER_CLICK(wxID_ANY, HFileListCtrl::OnHeaderClick)
    EVT_DATAVIEW_ITEM_ACTIVATED(wxID_ANY, HFileListCtrl::OnActivated)
    EVT_DATAVIEW_ITEM_CONTEXT_MENU(wxID_ANY, HFileListCtrl::OnItemMenu)
    EVT_DATAVIEW_SELECTION_CHANGED(wxID_ANY, HFileListCtrl::OnSelectionChanged)
wxEND_EVENT_TABLE()
// clang-format on


HFileListCtrl::HFileListCtrl(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                             const wxSize& size) {
    Create(parent, id, style, pos, size);
}

bool HFileListCtrl::Create(wxWindow* parent, wxWindowID id, long style, const wxPoint& pos,
                           const wxSize& size) {
    if (!wxDataViewCtrl::Create(parent, id, pos, size, wxDV_MULTIPLE)) return false;
    editable_ = (style & wxLC_EDIT_LABELS) != 0;
    model_ = new Model(*this);
    AssociateModel(model_.get());
    Bind(wxEVT_CHAR_HOOK, &HFileListCtrl::OnCharHook, this);
    platform::DisableListSearch(this);
    platform::WatchListPresses(
        this, {
                  // A press on one of several selected rows may start a drag
                  // of them all: the selection stays until the button is up.
                  [this](wxPoint point) {
                      const long row = RowAtPoint(point);
                      const size_t selected = static_cast<size_t>(GetSelectedItemCount());
                      // (A click that brings the keyboard to the list is not one.)
                      const wxWindow* focus = wxWindow::FindFocus();
                      pressOnSelected_ = row >= 0 && selected == 1 && IsRowSelected(row) &&
                                         focus && (focus == this || focus->GetParent() == this);
                      return row >= 0 && selected > 1 && IsRowSelected(row);
                  },
                  [this](wxPoint point) {
                      SendListEvent(wxEVT_LIST_BEGIN_DRAG, RowAtPoint(point), point);
                  },
                  [this](wxPoint point, bool kept, uint32_t pressTime) {
                      if (kept) SelectOnly(RowAtPoint(point));
                      else OnPlainClick(point, pressTime);
                  },
              });
    platform::WatchListScroll(this, [this] { OnScrolledWhileEditing(); });
    tellRow_.SetOwner(this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { platform::TellCurrentRow(this, false); },
         tellRow_.GetId());
    renameTimer_.SetOwner(this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { AskForRename(); }, renameTimer_.GetId());
    return true;
}

HFileListCtrl::~HFileListCtrl() {
    renameTimer_.Stop();
    tellRow_.Stop();
    if (edit_) {
        edit_->Destroy();
        edit_ = nullptr;
    }
}

void HFileListCtrl::SetImageList(wxImageList* images, int) {
    images_ = images;
    kinds_ = nullptr;
    icons_.clear();
}




// ---- Cells ---------------------------------------------------------------

wxDataViewItem HFileListCtrl::ItemAt(long row) const {
    if (row < 0 || row >= GetItemCount()) return wxDataViewItem();
    return model_->GetItem(static_cast<unsigned int>(row));
}

long HFileListCtrl::RowOf(const wxDataViewItem& item) const {
    if (!item.IsOk()) return -1;
    const long row = static_cast<long>(model_->GetRow(item));
    return row < GetItemCount() ? row : -1;
}


wxBitmapBundle HFileListCtrl::CellIcon(long row) const {
    if (!source_ || !images_ || row < 0 || row >= GetItemCount()) return wxBitmapBundle();
    const int image = source_->GetCellImage(GetRowData(row));
    if (image < 0 || image >= images_->GetImageCount()) return wxBitmapBundle();
    if (icons_.size() < static_cast<size_t>(images_->GetImageCount()))
        icons_.resize(static_cast<size_t>(images_->GetImageCount()));
    wxBitmapBundle& icon = icons_[static_cast<size_t>(image)];
    if (!icon.IsOk() && kinds_) icon = kinds_->Bundle(image);
    if (!icon.IsOk()) icon = wxBitmapBundle(images_->GetBitmap(image));
    return icon;
}



// ---- Columns -------------------------------------------------------------


void HFileListCtrl::AppendColumnWidth(const wxString& title, wxListColumnFormat format,
                                      int storedWidth) {
    const int index = ColumnCount();
    if (index == 0) widths_.Clear();
    wxDataViewRenderer* renderer = index == 0
                                       ? static_cast<wxDataViewRenderer*>(new wxDataViewIconTextRenderer())
                                       : new wxDataViewTextRenderer();
    // A text cut by its column ends in an ellipsis, as a reader expects.
    renderer->EnableEllipsize(wxELLIPSIZE_END);
    const wxAlignment align = format == wxLIST_FORMAT_RIGHT ? wxALIGN_RIGHT : wxALIGN_LEFT;
    const int width = widths_.Add(storedWidth, DefaultColumnWidth());
    auto* column = new wxDataViewColumn(title, renderer, static_cast<unsigned int>(index), width,
                                        align, wxDATAVIEW_COL_RESIZABLE);
    AppendColumn(column);
    // Rows of one height are laid out at once, however many there are.
    platform::SetUniformRowHeights(this);
    platform::KeepHeaderOutOfTabs(this);
    if (widths_.FillsFirst()) FitColumns();
}

void HFileListCtrl::ApplyWidths(const std::vector<HColumnWidths::Change>& changes) {
    for (const HColumnWidths::Change& change : changes)
        GetColumn(static_cast<unsigned int>(change.column))->SetWidth(change.width);
}

void HFileListCtrl::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (!IsShownOnScreen() || !widths_.Watching()) return;
    std::vector<int> shown;
    for (int c = 0; c < ColumnCount(); ++c)
        shown.push_back(GetColumn(static_cast<unsigned int>(c))->GetWidth());
    widths_.Watch(shown, wxGetLocalTimeMillis().GetValue());
}

int HFileListCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= ColumnCount()) return 0;
    return widths_.Reported(column, GetColumn(static_cast<unsigned int>(column))->GetWidth());
}


void HFileListCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount() || width <= 0) return;
    ApplyWidths(widths_.SetByHand(column, width, Available(), DefaultColumnWidth(),
                                  wxGetLocalTimeMillis().GetValue()));
}

void HFileListCtrl::DeleteAllColumns() {
    CancelEdit();
    ClearColumns();
    widths_.Clear();
}

void HFileListCtrl::ShowSortIndicator(int column, bool ascending) {
    for (int c = 0; c < ColumnCount(); ++c) {
        wxDataViewColumn* shown = GetColumn(static_cast<unsigned int>(c));
        if (c == column)
            shown->SetSortOrder(ascending);
        else if (shown->IsSortKey())
            shown->UnsetAsSortKey();
    }
}


int HFileListCtrl::TitleWidth(int column) const {
    // The title with room for the sort arrow.
    return GetTextExtent(GetColumn(static_cast<unsigned int>(column))->GetTitle()).x + 16 +
           2 * GetCharWidth();
}



// ---- Rows ----------------------------------------------------------------



void HFileListCtrl::SetRowCount() {
    Reload();
    // The first rows of a new listing size the columns that follow their
    // texts; a listing of as many rows as the last one (a re-list) keeps the
    // widths measured then.
    widths_.NewListing(static_cast<size_t>(GetItemCount()));
    FitColumns();
    // A new listing has a current row, none selected: entering the list
    // reads that row, and the keys move on from it.
    if (!order_.empty()) SetCurrentItem(ItemAt(0));
}

void HFileListCtrl::Reload() {
    // The table asks every cell again: nothing it read before stays, which
    // keeps what a screen reader was told in step with the screen.
    // A scroll asked for names a row of the old listing, and the toolkit
    // makes it only at its next idle time: made now, before that row goes,
    // not later into a list that may be empty.
    wxDataViewCtrl::OnInternalIdle();
    reloading_ = true;
    model_->Reset(static_cast<unsigned int>(order_.size()));
    reloading_ = false;
    tellNextFocus_ = true;
}

void HFileListCtrl::RefreshRows() {
    const Kept kept = Keep();
    Reload();
    Restore(kept);
}


void HFileListCtrl::Restore(const Kept& kept) {
    if (kept.focusData >= 0)
        if (const long row = order_.RowOf(static_cast<uint32_t>(kept.focusData)); row >= 0)
            FocusRow(row);
    if (kept.selected >= order_.size() && !order_.empty()) {
        SelectAll();
    } else if (kept.selected > 0) {
        wxDataViewItemArray items;
        for (long row : order_.RowsMarked(kept.marks))
            items.push_back(ItemAt(row));
        SetSelections(items);
    }
    SelectionChanged();
}


// ---- Selection and focus ---------------------------------------------------

int HFileListCtrl::GetSelectedItemCount() const {
    return order_.empty() ? 0 : GetSelectedItemsCount();
}

std::vector<long> HFileListCtrl::GetSelectedRows() const {
    std::vector<long> rows;
    if (GetSelectedItemCount() == 0) return rows;
    wxDataViewItemArray items;
    GetSelections(items);
    rows.reserve(items.size());
    for (const wxDataViewItem& item : items)
        if (const long row = RowOf(item); row >= 0) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    return rows;
}





// A person's change (here, and the keys the list handles itself) is followed
// before the next key is read: a Tab typed straight after Ctrl+A must find
// the arrow that the selection enables.
void HFileListCtrl::OnSelectionChanged(wxDataViewEvent& event) {
    event.Skip();
    // (While the rows are being replaced, the owner's data and the rows may
    // not agree yet: the update waits for the next pass.)
    if (reloading_)
        SelectionChanged();
    else
        UpdateCommandsNow();
}

void HFileListCtrl::SelectRow(long row, bool select) {
    const wxDataViewItem item = ItemAt(row);
    if (!item.IsOk()) return;
    if (select)
        Select(item);
    else
        Unselect(item);
    SelectionChanged();
}

void HFileListCtrl::ClearSelection() {
    if (GetSelectedItemCount() == 0) return;
    UnselectAll();
    SelectionChanged();
}

void HFileListCtrl::SelectOnly(long row) {
    const wxDataViewItem item = ItemAt(row);
    if (!item.IsOk()) return;
    FocusRow(row);
    SetSelections(wxDataViewItemArray(1, item));
    EnsureVisible(item);
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
    wxDataViewItemArray items;
    items.reserve(rows.size());
    for (long row : rows)
        items.push_back(ItemAt(row));
    SetSelections(items);
    SelectionChanged();
    return rows;
}



long HFileListCtrl::GetFocusedRow() const {
    return order_.empty() ? -1 : RowOf(GetCurrentItem());
}

void HFileListCtrl::FocusRow(long row, bool keepView) {
    const wxDataViewItem item = ItemAt(row);
    if (!item.IsOk()) return;
    // Made current again, the row is also told to a screen reader as the
    // focus (a type-ahead landing on the current row is heard).
    if (!keepView || GetCurrentItem() != item) {
        SetCurrentItem(item);
    } else if (!tellNextFocus_) {
        // Left current through a refill, whose rows are new to a screen
        // reader: it is told which one has the focus, the view unmoved.
        platform::TellCurrentRow(this);
    }
    // The first current row of a new listing is told to a screen reader.
    if (tellNextFocus_) {
        tellNextFocus_ = false;
        platform::TellCurrentRow(this);
    }
}

void HFileListCtrl::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    // Entering the list always lands on a row: the one it had, else the
    // first. It is set now, before the table takes the keyboard, so that the
    // table keeps it rather than choosing one of its own.
    if (GetItemCount() > 0 && GetFocusedRow() < 0) SetCurrentItem(ItemAt(0));
    // The table tells a screen reader that it has the focus, but not which
    // of its rows is current: that is told once the reader has had the time
    // to read the table itself (its name and description).
    tellRow_.StartOnce(kTellRowMs);
}

long HFileListCtrl::RowAtPoint(const wxPoint& point) const {
    wxDataViewItem item;
    wxDataViewColumn* column = nullptr;
    HitTest(point, item, column);
    return RowOf(item);
}

void HFileListCtrl::ScrollRowToTop(long row) {
    platform::ScrollRowToTop(this, row);
}

long HFileListCtrl::GetTopRow() const {
    return order_.empty() ? -1 : RowOf(GetTopItem());
}

void HFileListCtrl::EnsureVisible(long row) {
    const wxDataViewItem item = ItemAt(row);
    if (item.IsOk()) EnsureVisible(item);
}

// ---- Rows by place ------------------------------------------------------------

bool HFileListCtrl::IsRowSelected(long row) const {
    const wxDataViewItem item = ItemAt(row);
    return item.IsOk() && IsSelected(item);
}

wxRect HFileListCtrl::GetRowRect(long row, RowPart part) const {
    const wxDataViewItem shown = ItemAt(row);
    if (!shown.IsOk() || ColumnCount() == 0) return wxRect();
    wxRect rect;
    if (part == RowPart::Bounds) {
        rect = wxDataViewCtrl::GetItemRect(shown, nullptr);
    } else {
        rect = wxDataViewCtrl::GetItemRect(shown, GetColumn(0));
        // A row not laid out yet has no place.
        if (rect.width <= 0 || rect.height <= 0) return wxRect();
        // The icon comes first in the name's cell.
        int iconWidth = 0, iconHeight = 0;
        if (images_ && images_->GetImageCount() > 0) images_->GetSize(0, iconWidth, iconHeight);
        const int iconPart = iconWidth > 0 ? iconWidth + 4 : 0;
        if (part == RowPart::Icon) {
            rect.width = iconPart;
        } else {
            rect.x += iconPart;
            rect.width = std::max(rect.width - iconPart, 1);
        }
    }
    return rect.width > 0 && rect.height > 0 ? rect : wxRect();
}

// ---- Notifications to the pane -----------------------------------------------

void HFileListCtrl::SendListEvent(wxEventType type, long row, const wxPoint& point) {
    wxListEvent event(type, GetId());
    event.SetEventObject(this);
    event.m_itemIndex = row;
    event.m_item.m_itemId = row;
    event.m_pointDrag = point;
    GetEventHandler()->ProcessEvent(event);
}

void HFileListCtrl::OnHeaderClick(wxDataViewEvent& event) {
    wxListEvent click(wxEVT_LIST_COL_CLICK, GetId());
    click.SetEventObject(this);
    click.m_col = event.GetColumn();
    click.m_itemIndex = -1;
    GetEventHandler()->ProcessEvent(click);
}

void HFileListCtrl::OnActivated(wxDataViewEvent& event) {
    renameTimer_.Stop();
    clickedRow_ = -1;
    const long row = RowOf(event.GetItem());
    if (row >= 0) SendListEvent(wxEVT_LIST_ITEM_ACTIVATED, row);
}

void HFileListCtrl::OnItemMenu(wxDataViewEvent& event) {
    // A right click: the row under the pointer first, then the menu where
    // the pointer is.
    const long row = RowOf(event.GetItem());
    if (row >= 0) SendListEvent(wxEVT_LIST_ITEM_RIGHT_CLICK, row);
    wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, GetId(), wxGetMousePosition());
    menu.SetEventObject(this);
    GetEventHandler()->ProcessEvent(menu);
}


void HFileListCtrl::OnCharHook(wxKeyEvent& event) {
    // Ctrl+A in the list itself.
    if (event.GetKeyCode() == 'A' && event.GetModifiers() == wxMOD_CONTROL && GetItemCount() > 0) {
        SelectAll();
        UpdateCommandsNow();
        return;
    }
    event.Skip();
}

void HFileListCtrl::OnKeyDown(wxKeyEvent& event) {
    renameTimer_.Stop();
    clickedRow_ = -1;
    // Home and End select the first and the last row (the table's own do
    // nothing from the row they would go to, the first of a new listing).
    const int code = event.GetKeyCode();
    if ((code == WXK_HOME || code == WXK_END || code == WXK_NUMPAD_HOME ||
         code == WXK_NUMPAD_END) &&
        event.GetModifiers() == wxMOD_NONE && GetItemCount() > 0) {
        SelectOnly(code == WXK_HOME || code == WXK_NUMPAD_HOME ? 0 : GetItemCount() - 1);
        UpdateCommandsNow();
        return;
    }
    // From a current row that is not selected (the first of a new listing),
    // Down and Up move on as from a selected one; the table's own would
    // select the current row itself.
    if ((code == WXK_DOWN || code == WXK_UP) && event.GetModifiers() == wxMOD_NONE &&
        GetSelectedItemCount() == 0 && GetFocusedRow() >= 0) {
        const long next = GetFocusedRow() + (code == WXK_DOWN ? 1 : -1);
        SelectOnly(std::clamp(next, 0L, GetItemCount() - 1));
        UpdateCommandsNow();
        return;
    }
    wxListEvent key(wxEVT_LIST_KEY_DOWN, GetId());
    key.SetEventObject(this);
    key.m_code = event.GetKeyCode();
    key.m_itemIndex = GetFocusedRow();
    // A key the pane takes is not the table's any more.
    if (GetEventHandler()->ProcessEvent(key)) return;
    event.Skip();
}



// ---- Editing a name ------------------------------------------------------------

wxTextCtrl* HFileListCtrl::EditLabel(long row) {
    if (!editable_ || !source_ || row < 0 || row >= GetItemCount()) return nullptr;
    CancelEdit();
    renameTimer_.Stop();
    EnsureVisible(row);
    const wxRect rect = GetRowRect(row, RowPart::Label);
    if (rect.IsEmpty()) return nullptr;
    // The field lies over the name's cell, in the list's parent, so that it
    // is an ordinary text field for the keyboard, the menus and a screen
    // reader.
    wxWindow* parent = GetParent();
    editBytes_ = source_->GetCellText(GetRowData(row), 0);
    const wxString name = platform::PathToDisplayText(editBytes_);
    auto* edit = new wxTextCtrl(parent, wxID_ANY, name, wxDefaultPosition, wxDefaultSize,
                                wxTE_PROCESS_ENTER);
    platform::SetAccessibleName(edit, GetColumn(0)->GetTitle());
    edit_ = edit;
    editRow_ = row;
    editRowTop_ = rect.y;
    PlaceEdit(rect);
    edit->Bind(wxEVT_KEY_DOWN, &HFileListCtrl::OnEditKey, this);
    edit->Bind(wxEVT_KILL_FOCUS, &HFileListCtrl::OnEditFocusLost, this);
    edit->Raise();
    edit->SetFocus();
    edit->SelectAll();
    return edit;
}

void HFileListCtrl::PlaceEdit(const wxRect& rect) {
    const int height = std::max(edit_->GetBestSize().y, rect.height);
    const wxPoint at = GetPosition() + wxPoint(rect.x, rect.y + (rect.height - height) / 2);
    edit_->SetSize(at.x, at.y, std::max(rect.width, DefaultColumnWidth()), height);
}

void HFileListCtrl::OnScrolledWhileEditing() {
    if (!edit_) return;
    // Bringing the row wholly into view may scroll the list by a few pixels,
    // at the toolkit's pace, after the field is open: the field goes with its
    // row. A scroll of a row or more is the person's, and ends the edit, so
    // that the field never lies over another row.
    const wxRect rect = GetRowRect(editRow_, RowPart::Label);
    if (rect.IsEmpty() || std::abs(rect.y - editRowTop_) >= rect.height) {
        EndEdit(false);
        return;
    }
    PlaceEdit(rect);
}

void HFileListCtrl::OnPlainClick(wxPoint point, uint32_t pressTime) {
    // A second, slow click on the name of the row that was already the only
    // one selected asks for a rename, after the time a double click would
    // have needed: a double click opens the row instead. The presses are
    // timed by the display server, as the toolkit times a double click, so a
    // busy window that reads them late still tells the two apart.
    const long row = RowAtPoint(point);
    const long doubleClick = std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC), 100);
    const bool second = hadClick_ && uint32_t(pressTime - lastPressTime_) <= uint32_t(doubleClick);
    hadClick_ = true;
    lastPressTime_ = pressTime;
    clickedRow_ = row;
    renameTimer_.Stop();
    if (!editable_ || second || !pressOnSelected_ || row < 0 || edit_ ||
        GetSelectedItemCount() != 1 || !IsRowSelected(row) ||
        !GetRowRect(row, RowPart::Label).Contains(point))
        return;
    renameTimer_.StartOnce(doubleClick + 50);
}


void HFileListCtrl::OnEditKey(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        EndEdit(false);
        SetFocus();
        return;
    case WXK_ESCAPE:
        EndEdit(true);
        SetFocus();
        return;
    default:
        event.Skip();
    }
}

void HFileListCtrl::OnEditFocusLost(wxFocusEvent& event) {
    // Leaving the field accepts the name, once the focus has settled.
    event.Skip();
    wxTextCtrl* edit = edit_;
    CallAfter([this, edit] {
        if (edit_ == edit) EndEdit(false);
    });
}

void HFileListCtrl::CancelEdit() {
    EndEdit(true);
}

void HFileListCtrl::EndEdit(bool cancelled) {
    wxTextCtrl* edit = edit_;
    if (!edit) return;
    edit_ = nullptr;
    const long row = editRow_;
    editRow_ = -1;
    edit->Unbind(wxEVT_KEY_DOWN, &HFileListCtrl::OnEditKey, this);
    edit->Unbind(wxEVT_KILL_FOCUS, &HFileListCtrl::OnEditFocusLost, this);
    const wxString label = EditedLabelText(editBytes_, edit->GetValue());
    // A name left as it was is nothing to rename.
    if (label == platform::PathToText(editBytes_)) cancelled = true;
    const bool hadFocus = wxWindow::FindFocus() == edit;
    edit->Hide();
    // The field may be the window whose key or focus handler runs now.
    wxTheApp->ScheduleForDestruction(edit);
    if (hadFocus) SetFocus();
    wxListEvent done(wxEVT_LIST_END_LABEL_EDIT, GetId());
    done.SetEventObject(this);
    done.m_itemIndex = row;
    done.m_item.m_itemId = row;
    done.m_item.SetText(label);
    done.SetEditCanceled(cancelled);
    GetEventHandler()->ProcessEvent(done);
}
