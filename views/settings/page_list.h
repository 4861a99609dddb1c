#pragma once
// HPageList: the configuration dialog's list of pages, one row with an icon
// per page, in the platform's own tree control so that its screen readers
// read it: the GTK tree view on Linux (wxDataViewTreeCtrl), the system's
// tree view on Windows (wxTreeCtrl; wx draws the data view itself there,
// which no Windows screen reader reads and Tab does not leave).
// SONGDOCK_PAGE_TREE builds the tree control half elsewhere too, over wx's
// generic tree, so that its tests run on Linux.
//
// The titles are the dialog's own: typing or F2 never opens one for editing.
// A page chosen by the person (click, arrow keys, type-ahead) is told through
// the handler given to OnPageChosen; SelectPage marks a row without telling.
#include <functional>
#include <utility>
#include <vector>

#include <wx/defs.h>

#if defined(__WXMSW__) && !defined(SONGDOCK_PAGE_TREE)
#define SONGDOCK_PAGE_TREE 1
#endif

#if SONGDOCK_PAGE_TREE
#include <wx/treectrl.h>
using HPageListBase = wxTreeCtrl;
using HPageItem = wxTreeItemId;
#else
#include <wx/dataview.h>
using HPageListBase = wxDataViewTreeCtrl;
using HPageItem = wxDataViewItem;
#endif

class HPageList : public HPageListBase {
public:
    HPageList(wxWindow* parent, wxWindowID id, const wxSize& size);

    // Adds a page's row at the end, with the image of that index (SetImages).
    void AddPage(const wxString& title, int image);
    int PageCount() const { return static_cast<int>(items_.size()); }
    // Makes page n's row the chosen and current one, without telling.
    void SelectPage(int n);
    // The page whose row is chosen now, or -1.
    int ChosenPage() const;
    // Where page n's row is, in the list's client coordinates (empty while
    // the list has not laid it out).
    wxRect PageRect(int n) const;
    // Handler called with the page the person chose.
    void OnPageChosen(std::function<void(int)> handler) { chosen_ = std::move(handler); }

private:
    // The page of a row, or -1.
    int PageOf(const HPageItem& item) const {
        for (size_t n = 0; n < items_.size(); ++n)
            if (items_[n] == item) return static_cast<int>(n);
        return -1;
    }
    // Tells the handler of a row the person chose.
    void Tell(const HPageItem& item) {
        const int page = PageOf(item);
        if (!selecting_ && !IsBeingDeleted() && page >= 0 && chosen_) chosen_(page);
    }

    std::vector<HPageItem> items_;
    std::function<void(int)> chosen_;
    bool selecting_ = false;
};
