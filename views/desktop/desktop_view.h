#pragma once
// HDesktopView: the explorer of the PC's files, the left pane of the client
// view. A folder drop-down (HFolderCombo) and an Up button choose what the
// list shows: a folder (sub-folders first, then the files that match the
// file filter), the mounted volumes, or the network's servers and shares.
//
// As an HFileSource it hands out the full paths of its selected rows; as an
// HFileTarget it names the folder shown as the place for uploads and, after
// an upload, re-lists it and selects the files that arrived. It never copies
// files itself.
//
// Settings (section "Desktop"): LastDirectory (frozen until the view has
// restored it), SortKey, SortAscendent and the column widths.
#include "ui/panes/file_source.h"
#include "ui/panes/file_target.h"
#include "views/desktop/desktop_rows.h"
#include "ui/list/file_kinds.h"
#include "ui/list/file_list_ctrl.h"

#include <optional>
#include <string>
#include <vector>

#include <wx/containr.h>
#include <wx/window.h>

class HFolderCombo;
class HFolderNode;
class wxContextMenuEvent;
class wxKeyEvent;
class wxListEvent;
namespace controls {
class HIconButton;
}

class HDesktopView : public wxNavigationEnabled<wxWindow>,
                     public HFileSource,
                     public HFileTarget,
                     public HFileListCtrl::Source {
public:
    HDesktopView() = default;
    ~HDesktopView() override;
    // Creates the view and its children; the first listing follows once
    // the event loop runs.
    bool Create(wxWindow* parent, wxWindowID id);

    // Shows a node (null: the drop-down's current one), sorted as stored.
    void ShowNode(HFolderNode* node = nullptr);
    // Sorts by a column and stores the choice.
    bool SortList(int column, bool ascending);
    // Deletes the selected files, after asking when confirm is set. True
    // when every deletion worked.
    bool DeleteSelection(bool confirm);
    // The number of selected rows that are not network places.
    int CountSelectedFiles() const;

    // ---- HFileSource and HFileTarget --------------------------------------
    wxWindow* GetWindow() const override;
    wxBitmap CreateDragImage(wxPoint* origin) override;
    bool CollectSelection(HNameList& list) override;
    bool SendTo(HFileTarget* target) override;
    // Re-lists and selects the files of the list, also under the names the
    // device layer gave them (a safe name, a recording converted to WAV).
    bool Receive(HNameList& list, bool transfer) override;
    // The current node's path; none for the volume list and the network.
    std::optional<std::string> GetTargetFolder() const override;
    bool CanReceive() const override;

    // ---- HFileListCtrl::Source ----------------------------------------------
    std::string GetCellText(uint32_t data, int column) const override;
    int GetCellImage(uint32_t data) const override;

    // ---- Parts, for the client view and tests ----------------------------------
    HFileListCtrl* GetList() const { return list_; }
    HFolderCombo* GetFolderCombo() const { return combo_; }
    const std::vector<desktop::DesktopRow>& GetRows() const { return rows_; }
    // The row shown at a display row of the list.
    const desktop::DesktopRow& RowAt(long row) const { return rows_[list_->GetRowData(row)]; }

private:
    void LayoutChildren();
    // Adds a folder's rows; a share's folder that wants a password asks for
    // it first. False when it could not be listed (reported, unless the
    // person cancelled, and left for its parent).
    bool ListFolderInto(const std::string& path, const platform::NetworkPlace* share = nullptr);
    void ListDrives();
    // False when the place could not be listed (reported, and left for its
    // parent).
    bool ListNetwork(const HFolderNode& node);
    void OpenRow(long row);
    void SaveColumnWidths();
    // The delete question for the selected rows; it says so where the
    // files' file system has no trash.
    std::string DeleteQuestion(const std::vector<uint32_t>& selected) const;
    // Moves a row's file to the trash, or deletes it where there is none.
    // Returns 0 or the errno code of the failure (EISDIR for a folder).
    static int DeleteRowFile(const desktop::DesktopRow& row);

    void OnSize(wxSizeEvent& event);
    void OnFolderSelected(wxCommandEvent& event);
    void OnUp(wxCommandEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnBeginDrag(wxListEvent& event);
    void OnActivated(wxListEvent& event);
    void OnKeyDown(wxListEvent& event);
    void OnCharHook(wxKeyEvent& event);
    // Whether the keyboard is in the list itself (not in a name being edited).
    bool IsListFocused() const;
    void OnRightClick(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnUpdateDelete(wxUpdateUIEvent& event);
    void OnProperties(wxCommandEvent& event);
    void OnUpdateProperties(wxUpdateUIEvent& event);

    mutable HFileKinds kinds_; // shell icons and type names per kind, and the tree images
    int treeImageBase_ = -1;   // index of the first tree image in kinds_' image list
    HFolderCombo* combo_ = nullptr;
    controls::HIconButton* up_ = nullptr;
    HFileListCtrl* list_ = nullptr;
    bool ready_ = false;
    bool menuPending_ = false; // a context menu is about to be shown
    std::vector<desktop::DesktopRow> rows_;
    std::string shownPath_; // the folder listed, "" for none or a place without a path
    mutable std::vector<std::string> dateTexts_; // per row, formatted when first shown
    mutable std::vector<int> icons_;             // per row, -2 until first shown

    wxDECLARE_EVENT_TABLE();
};
