// The page list as the GTK tree view (wxDataViewTreeCtrl), one column
// without a header.
#include "views/settings/page_list.h"

HPageList::HPageList(wxWindow* parent, wxWindowID id, const wxSize& size)
    : wxDataViewTreeCtrl(parent, id, wxDefaultPosition, size, wxDV_NO_HEADER | wxDV_SINGLE) {
    // The tree's cells are editable by default.
    Bind(wxEVT_DATAVIEW_ITEM_START_EDITING, [](wxDataViewEvent& event) { event.Veto(); });
    Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent& event) {
        if (event.GetItem().IsOk()) Tell(event.GetItem());
    });
}

void HPageList::AddPage(const wxString& title, int image) {
    items_.push_back(AppendItem(wxDataViewItem(), title, image));
}

void HPageList::SelectPage(int n) {
    if (n < 0 || n >= PageCount()) return;
    selecting_ = true;
    Select(items_[n]);
    SetCurrentItem(items_[n]);
    selecting_ = false;
}

int HPageList::ChosenPage() const {
    return PageOf(GetSelection());
}

wxRect HPageList::PageRect(int n) const {
    return n >= 0 && n < PageCount() ? GetItemRect(items_[n]) : wxRect();
}
