#include "ui/list/file_list_ctrl.h"

#include <algorithm>
#include <cstdlib>

#include <wx/app.h>
#include <wx/imaglist.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/time.h>

#include "base/platform/gui/accessibility.h"
#include "base/platform/path_text.h"

namespace {

// Letters typed within this time make one start of a name.
constexpr long kTypeAheadMs = 1000;
// Rows measured to fit a column to its texts: the first rows stand for the rest.
constexpr long kMeasuredRows = 200;
// Time the table may take to lay out widths given to its columns.
constexpr long kLayoutMs = 500;

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

int HFileListCtrl::Source::GetCellImage(uint32_t) const {
    return -1;
}

// clang-format off
wxBEGIN_EVENT_TABLE(HFileListCtrl, wxDataViewCtrl)
    EVT_SIZE(HFileListCtrl::OnSize)
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
                      return row >= 0 && GetSelectedItemCount() > 1 &&
                             GetItemState(row, wxLIST_STATE_SELECTED) != 0;
                  },
                  [this](wxPoint point) {
                      SendListEvent(wxEVT_LIST_BEGIN_DRAG, RowAtPoint(point), point);
                  },
                  [this](wxPoint point, bool kept) {
                      if (kept) SelectOnly(RowAtPoint(point));
                  },
              });
    return true;
}

HFileListCtrl::~HFileListCtrl() {
    if (edit_) {
        edit_->Destroy();
        edit_ = nullptr;
    }
}

void HFileListCtrl::SetImageList(wxImageList* images, int) {
    images_ = images;
    icons_.clear();
}

wxImageList* HFileListCtrl::GetImageList(int) const {
    return images_;
}

void HFileListCtrl::SetTableName(const wxString& name) {
    platform::SetAccessibleName(this, name);
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

wxString HFileListCtrl::CellText(long row, int column) const {
    if (!source_ || row < 0 || row >= GetItemCount()) return wxString();
    return platform::PathToDisplayText(source_->GetCellText(GetRowData(row), column));
}

wxBitmapBundle HFileListCtrl::CellIcon(long row) const {
    if (!source_ || !images_ || row < 0 || row >= GetItemCount()) return wxBitmapBundle();
    const int image = source_->GetCellImage(GetRowData(row));
    if (image < 0 || image >= images_->GetImageCount()) return wxBitmapBundle();
    if (icons_.size() < static_cast<size_t>(images_->GetImageCount()))
        icons_.resize(static_cast<size_t>(images_->GetImageCount()));
    wxBitmapBundle& icon = icons_[static_cast<size_t>(image)];
    if (!icon.IsOk()) icon = wxBitmapBundle(images_->GetBitmap(image));
    return icon;
}

int HFileListCtrl::GetRowImage(long row) const {
    if (!source_ || row < 0 || row >= GetItemCount()) return -1;
    return source_->GetCellImage(GetRowData(row));
}

wxString HFileListCtrl::GetRowText(long row, int column) const {
    if (column < 0 || column >= ColumnCount()) return wxString();
    return CellText(row, column);
}

// ---- Columns -------------------------------------------------------------

int HFileListCtrl::DefaultColumnWidth() const {
    return std::max(100, 100 * GetCharHeight() / 13);
}

void HFileListCtrl::AppendColumnWidth(const wxString& title, wxListColumnFormat format,
                                      int storedWidth) {
    const bool stored = storedWidth > 0;
    const int index = ColumnCount();
    if (index == 0) {
        defaultColumns_.clear();
        textWidths_.clear();
        measuredRows_ = 0;
        widths_.clear();
    }
    wxDataViewRenderer* renderer = index == 0
                                       ? static_cast<wxDataViewRenderer*>(new wxDataViewIconTextRenderer())
                                       : new wxDataViewTextRenderer();
    // A text cut by its column ends in an ellipsis, as a reader expects.
    renderer->EnableEllipsize(wxELLIPSIZE_END);
    const wxAlignment align = format == wxLIST_FORMAT_RIGHT ? wxALIGN_RIGHT : wxALIGN_LEFT;
    auto* column = new wxDataViewColumn(title, renderer, static_cast<unsigned int>(index),
                                        stored ? storedWidth : DefaultColumnWidth(), align,
                                        wxDATAVIEW_COL_RESIZABLE);
    AppendColumn(column);
    // Rows of one height are laid out at once, however many there are.
    platform::SetUniformRowHeights(this);
    defaultColumns_.push_back(!stored);
    textWidths_.push_back(0);
    widths_.push_back(column->GetWidth() > 0 ? column->GetWidth()
                                             : (stored ? storedWidth : DefaultColumnWidth()));
    if (index == 0) fitFirstColumn_ = !stored;
    if (fitFirstColumn_) FitFirstColumn();
}

void HFileListCtrl::SetWidthByRule(int column, int width) {
    if (widths_[static_cast<size_t>(column)] == width) return;
    widths_[static_cast<size_t>(column)] = width;
    GetColumn(static_cast<unsigned int>(column))->SetWidth(width);
    layoutPending_ = true;
    widthsSetAt_ = wxGetLocalTimeMillis();
}

void HFileListCtrl::FitFirstColumn() {
    const int count = ColumnCount();
    if (count == 0) return;
    int left = Available();
    for (int c = 1; c < count; ++c)
        left -= widths_[static_cast<size_t>(c)];
    SetWidthByRule(0, std::max(left, DefaultColumnWidth()));
}

void HFileListCtrl::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (!IsShownOnScreen() || (!fitFirstColumn_ && !layoutPending_ &&
                               std::find(defaultColumns_.begin(), defaultColumns_.end(), true) ==
                                   defaultColumns_.end()))
        return;
    // A column whose laid-out width is not the one it was given was resized
    // by hand: from then on the widths are the person's. (The last column
    // also takes whatever room is left, so it does not tell.)
    const int count = ColumnCount();
    bool laidOut = true;
    for (int c = 0; c + 1 < count; ++c)
        if (GetColumn(static_cast<unsigned int>(c))->GetWidth() != widths_[static_cast<size_t>(c)])
            laidOut = false;
    // The table lays new widths out at its own pace: a moment is given.
    if (laidOut || (layoutPending_ && wxGetLocalTimeMillis() - widthsSetAt_ < kLayoutMs)) {
        if (laidOut) layoutPending_ = false;
        return;
    }
    layoutPending_ = false;
    fitFirstColumn_ = false;
    std::fill(defaultColumns_.begin(), defaultColumns_.end(), false);
    for (int c = 0; c + 1 < count; ++c)
        widths_[static_cast<size_t>(c)] = GetColumn(static_cast<unsigned int>(c))->GetWidth();
}

int HFileListCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= ColumnCount()) return 0;
    // A width the person dragged shows in the laid-out table first.
    const int shown = GetColumn(static_cast<unsigned int>(column))->GetWidth();
    const int given = widths_[static_cast<size_t>(column)];
    return !layoutPending_ && column + 1 < ColumnCount() && shown > 0 ? shown : given;
}

void HFileListCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount() || width <= 0) return;
    GetColumn(static_cast<unsigned int>(column))->SetWidth(width);
    // A width given by hand or by code is kept.
    widths_[static_cast<size_t>(column)] = width;
    layoutPending_ = true;
    widthsSetAt_ = wxGetLocalTimeMillis();
    defaultColumns_[static_cast<size_t>(column)] = false;
    if (column == 0) fitFirstColumn_ = false;
    if (fitFirstColumn_) FitFirstColumn();
}

void HFileListCtrl::DeleteAllColumns() {
    CancelEdit();
    ClearColumns();
    defaultColumns_.clear();
    textWidths_.clear();
    widths_.clear();
    measuredRows_ = 0;
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

void HFileListCtrl::FitDefaultColumnsToTexts() {
    const long rows = std::min<long>(GetItemCount(), kMeasuredRows);
    const int count = std::min<int>(ColumnCount(), static_cast<int>(defaultColumns_.size()));
    if (count == 0) return;
    const auto measure = [&](int c) {
        // Without rows the title alone, measured again once rows come.
        int widest = TitleWidth(c);
        for (long row = 0; row < rows; ++row)
            widest = std::max(widest, GetTextExtent(CellText(row, c)).x + 2 * GetCharWidth());
        return rows > 0 ? widest : -widest;
    };
    for (int c = 0; c < count; ++c) {
        int& widest = textWidths_[static_cast<size_t>(c)];
        if (widest == 0 || (widest < 0 && rows > 0)) widest = measure(c);
    }
    // Each column shows its texts whole; when the pane is too narrow for
    // that and the names, long columns give back, down to their titles, so
    // that the names, which take the rest, stay whole too.
    const int names = fitFirstColumn_ ? std::abs(textWidths_[0]) + 20 : widths_[0];
    int excess = names - Available();
    std::vector<int> wanted(static_cast<size_t>(count), 0);
    for (int c = 1; c < count; ++c) {
        wanted[static_cast<size_t>(c)] = defaultColumns_[static_cast<size_t>(c)]
                                             ? std::abs(textWidths_[static_cast<size_t>(c)])
                                             : widths_[static_cast<size_t>(c)];
        excess += wanted[static_cast<size_t>(c)];
    }
    for (int c = count - 1; c >= 1 && excess > 0; --c) {
        int& width = wanted[static_cast<size_t>(c)];
        // Only a column of long texts (the kinds of file) gives back: short
        // ones, a date with its time say, stay whole, and the list scrolls
        // sideways when the pane is too narrow even so.
        const int title = TitleWidth(c);
        if (!defaultColumns_[static_cast<size_t>(c)] || width <= title ||
            width <= DefaultColumnWidth())
            continue;
        const int give = std::min(excess, width - title);
        width -= give;
        excess -= give;
    }
    for (int c = 1; c < count; ++c)
        if (defaultColumns_[static_cast<size_t>(c)]) SetWidthByRule(c, wanted[static_cast<size_t>(c)]);
    if (fitFirstColumn_) FitFirstColumn();
}

int HFileListCtrl::TitleWidth(int column) const {
    // The title with room for the sort arrow.
    return GetTextExtent(GetColumn(static_cast<unsigned int>(column))->GetTitle()).x + 16 +
           2 * GetCharWidth();
}

int HFileListCtrl::Available() const {
    // Room is kept for a vertical scroll bar, so that no horizontal one appears.
    return GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) - 4;
}

void HFileListCtrl::OnSize(wxSizeEvent& event) {
    FitDefaultColumnsToTexts();
    event.Skip();
}

// ---- Rows ----------------------------------------------------------------

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
    Reload();
    // The first rows of a new listing size the columns that follow their
    // texts; a listing of as many rows as the last one (a re-list) keeps the
    // widths measured then.
    if (GetItemCount() > 0 && static_cast<size_t>(GetItemCount()) != measuredRows_) {
        measuredRows_ = static_cast<size_t>(GetItemCount());
        std::fill(textWidths_.begin(), textWidths_.end(), 0);
    }
    FitDefaultColumnsToTexts();
}

void HFileListCtrl::Reload() {
    // The table asks every cell again: nothing it read before stays, which
    // keeps what a screen reader was told in step with the screen.
    model_->Reset(static_cast<unsigned int>(order_.size()));
}

void HFileListCtrl::RefreshRows() {
    const Kept kept = Keep();
    Reload();
    Restore(kept);
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

void HFileListCtrl::ReverseRows() {
    const Kept kept = Keep();
    order_.Reverse();
    Reload();
    Restore(kept);
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
// program. A change through the accessibility interface wakes no idle pass,
// so the update is queued here; changes in a row make one update.
void HFileListCtrl::SelectionChanged() {
    if (uiUpdateQueued_) return;
    uiUpdateQueued_ = true;
    CallAfter([this] {
        uiUpdateQueued_ = false;
        if (wxWindow* top = wxGetTopLevelParent(this)) top->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    });
}

void HFileListCtrl::OnSelectionChanged(wxDataViewEvent& event) {
    event.Skip();
    SelectionChanged();
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

void HFileListCtrl::SelectForMenu(long row) {
    if (row >= 0 && row < GetItemCount() && GetItemState(row, wxLIST_STATE_SELECTED) == 0)
        SelectOnly(row);
}

size_t HFileListCtrl::SelectDataWhere(const std::function<bool(uint32_t)>& wanted) {
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
    if (!rows.empty()) EnsureVisible(rows.front());
    SelectionChanged();
    return rows.size();
}

long HFileListCtrl::GetFocusedRow() const {
    return order_.empty() ? -1 : RowOf(GetCurrentItem());
}

void HFileListCtrl::FocusRow(long row) {
    const wxDataViewItem item = ItemAt(row);
    if (item.IsOk()) SetCurrentItem(item);
}

long HFileListCtrl::RowAtPoint(const wxPoint& point) const {
    wxDataViewItem item;
    wxDataViewColumn* column = nullptr;
    HitTest(point, item, column);
    return RowOf(item);
}

long HFileListCtrl::GetTopRow() const {
    return order_.empty() ? -1 : RowOf(GetTopItem());
}

void HFileListCtrl::EnsureVisible(long row) {
    const wxDataViewItem item = ItemAt(row);
    if (item.IsOk()) EnsureVisible(item);
}

// ---- The calls of a report list -------------------------------------------------

long HFileListCtrl::GetNextItem(long item, int, int state) const {
    if (state & wxLIST_STATE_FOCUSED) {
        const long focused = GetFocusedRow();
        return focused > item ? focused : -1;
    }
    if (state & wxLIST_STATE_SELECTED) {
        const std::vector<long> rows = GetSelectedRows();
        const auto next = std::upper_bound(rows.begin(), rows.end(), item);
        return next == rows.end() ? -1 : *next;
    }
    return item + 1 < GetItemCount() ? item + 1 : -1;
}

int HFileListCtrl::GetItemState(long item, long stateMask) const {
    int state = 0;
    const wxDataViewItem shown = ItemAt(item);
    if (!shown.IsOk()) return 0;
    if ((stateMask & wxLIST_STATE_SELECTED) && IsSelected(shown)) state |= wxLIST_STATE_SELECTED;
    if ((stateMask & wxLIST_STATE_FOCUSED) && GetFocusedRow() == item) state |= wxLIST_STATE_FOCUSED;
    return state;
}

bool HFileListCtrl::SetItemState(long item, long state, long stateMask) {
    if (item == -1) {
        if (stateMask & wxLIST_STATE_SELECTED) {
            if (state & wxLIST_STATE_SELECTED) {
                SelectAll();
                SelectionChanged();
            } else {
                ClearSelection();
            }
        }
        return true;
    }
    if (item < 0 || item >= GetItemCount()) return false;
    if ((stateMask & wxLIST_STATE_FOCUSED) && (state & wxLIST_STATE_FOCUSED)) FocusRow(item);
    if (stateMask & wxLIST_STATE_SELECTED) SelectRow(item, (state & wxLIST_STATE_SELECTED) != 0);
    return true;
}

bool HFileListCtrl::GetItemRect(long item, wxRect& rect, int code) const {
    const wxDataViewItem shown = ItemAt(item);
    if (!shown.IsOk() || ColumnCount() == 0) return false;
    if (code == wxLIST_RECT_BOUNDS) {
        rect = wxDataViewCtrl::GetItemRect(shown, nullptr);
    } else {
        rect = wxDataViewCtrl::GetItemRect(shown, GetColumn(0));
        // A row not laid out yet has no place.
        if (rect.width <= 0 || rect.height <= 0) return false;
        // The icon comes first in the name's cell.
        int iconWidth = 0, iconHeight = 0;
        if (images_ && images_->GetImageCount() > 0) images_->GetSize(0, iconWidth, iconHeight);
        const int iconPart = iconWidth > 0 ? iconWidth + 4 : 0;
        if (code == wxLIST_RECT_ICON) {
            rect.width = iconPart;
        } else {
            rect.x += iconPart;
            rect.width = std::max(rect.width - iconPart, 1);
        }
    }
    return rect.width > 0 && rect.height > 0;
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

void HFileListCtrl::OnContextMenu(wxContextMenuEvent& event) {
    // From the keyboard (the menu key, Shift+F10) the menu opens at the
    // focused row, or at the top of the list.
    if (event.GetPosition() == wxDefaultPosition) {
        wxPoint at(GetCharWidth() * 2, GetCharHeight() * 2);
        wxRect rect;
        if (const long row = GetFocusedRow(); row >= 0 && GetItemRect(row, rect, wxLIST_RECT_LABEL))
            at = wxPoint(rect.x + GetCharWidth(), rect.GetBottom());
        const wxRect client = GetClientRect();
        at.x = std::clamp(at.x, 0, std::max(client.width - 1, 0));
        at.y = std::clamp(at.y, 0, std::max(client.height - 1, 0));
        event.SetPosition(ClientToScreen(at));
    }
    event.Skip();
}

void HFileListCtrl::OnCharHook(wxKeyEvent& event) {
    // Ctrl+A in the list itself.
    if (event.GetKeyCode() == 'A' && event.GetModifiers() == wxMOD_CONTROL && GetItemCount() > 0) {
        SelectAll();
        SelectionChanged();
        return;
    }
    event.Skip();
}

void HFileListCtrl::OnKeyDown(wxKeyEvent& event) {
    wxListEvent key(wxEVT_LIST_KEY_DOWN, GetId());
    key.SetEventObject(this);
    key.m_code = event.GetKeyCode();
    key.m_itemIndex = GetFocusedRow();
    // A key the pane takes is not the table's any more.
    if (GetEventHandler()->ProcessEvent(key)) return;
    event.Skip();
}

void HFileListCtrl::OnChar(wxKeyEvent& event) {
    const wxChar typed = event.GetUnicodeKey();
    const int modifiers = event.GetModifiers();
    if (typed == WXK_NONE || typed < 32 || (modifiers & ~wxMOD_SHIFT) != 0 || GetItemCount() == 0 ||
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
    const long count = GetItemCount();
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

// ---- Editing a name ------------------------------------------------------------

wxTextCtrl* HFileListCtrl::EditLabel(long row) {
    if (!editable_ || !source_ || row < 0 || row >= GetItemCount()) return nullptr;
    CancelEdit();
    EnsureVisible(row);
    wxRect rect;
    if (!GetItemRect(row, rect, wxLIST_RECT_LABEL)) return nullptr;
    // The field lies over the name's cell, in the list's parent, so that it
    // is an ordinary text field for the keyboard, the menus and a screen
    // reader.
    wxWindow* parent = GetParent();
    const wxString name = platform::PathToText(source_->GetCellText(GetRowData(row), 0));
    auto* edit = new wxTextCtrl(parent, wxID_ANY, name, wxDefaultPosition, wxDefaultSize,
                                wxTE_PROCESS_ENTER);
    const int height = std::max(edit->GetBestSize().y, rect.height);
    const wxPoint at = GetPosition() + wxPoint(rect.x, rect.y + (rect.height - height) / 2);
    edit->SetSize(at.x, at.y, std::max(rect.width, DefaultColumnWidth()), height);
    platform::SetAccessibleName(edit, GetColumn(0)->GetTitle());
    edit_ = edit;
    editRow_ = row;
    edit->Bind(wxEVT_KEY_DOWN, &HFileListCtrl::OnEditKey, this);
    edit->Bind(wxEVT_KILL_FOCUS, &HFileListCtrl::OnEditFocusLost, this);
    edit->Raise();
    edit->SetFocus();
    edit->SelectAll();
    return edit;
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
    const wxString label = edit->GetValue();
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
