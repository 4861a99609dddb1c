// The page list as the tree control: on Windows the system's tree view,
// which every Windows screen reader reads; elsewhere wx's generic tree. The
// rows hang from a hidden root, with buttons and lines as the system draws
// them, and the chosen row stays marked while the focus is on a page.
#include "views/settings/page_list.h"

HPageList::HPageList(wxWindow* parent, wxWindowID id, const wxSize& size)
    : wxTreeCtrl(parent, id, wxDefaultPosition, size,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE) {
    AddRoot(wxString());
    // Labels are not editable (no wxTR_EDIT_LABELS); the selection tells.
    Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& event) {
        if (event.GetItem().IsOk()) Tell(event.GetItem());
        event.Skip();
    });
}

void HPageList::AddPage(const wxString& title, int image) {
    items_.push_back(AppendItem(GetRootItem(), title, image, image));
}

void HPageList::SelectPage(int n) {
    if (n < 0 || n >= PageCount()) return;
    selecting_ = true;
    SelectItem(items_[n]);
    SetFocusedItem(items_[n]);
    selecting_ = false;
}

int HPageList::ChosenPage() const {
    return PageOf(GetSelection());
}

wxRect HPageList::PageRect(int n) const {
    wxRect rect;
    if (n < 0 || n >= PageCount() || !GetBoundingRect(items_[n], rect, true)) return wxRect();
    return rect;
}
