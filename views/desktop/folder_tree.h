#pragma once
// HFolderTree: the popup of the folder drop-down. It holds the desktop, the
// computer with the mounted volumes, the network with the places the user
// opened, the documents folder, and the chain of folders from a volume down
// to the folder shown. It never enumerates folders: the chain grows when the
// explorer opens a sub-folder and is pruned when the user climbs.
#include "views/desktop/folder_node.h"

#include <memory>
#include <string>

#include <wx/combo.h>
#include <wx/treectrl.h>

class HFolderCombo;

class HFolderTree : public wxTreeCtrl, public wxComboPopup {
public:
    explicit HFolderTree(HFolderCombo* combo) : combo_(combo) {}

    // ---- The nodes ------------------------------------------------------
    // Fills the tree (desktop, computer and volumes, network, documents)
    // and moves to the process's current directory, with notification.
    void Fill();
    // Inserts node as the last child of parent (the root when parent is not
    // ok), highlights it and makes it current; notifies with notify.
    wxTreeItemId InsertNode(std::unique_ptr<HFolderNode> node, const wxTreeItemId& parent,
                            bool notify);
    // Builds the chain of folder nodes down to path, stopping at the first
    // part that does not exist, and makes the last node reached current.
    void NavigateTo(const std::string& path, bool notify);
    // Removes folder and network-place nodes from the current one up
    // towards target (not included); with notify, target becomes current.
    void Prune(bool notify, const wxTreeItemId& target);
    // Goes to the parent of the current node, removing the nodes on the way.
    void GoUp();
    // Inserts a network place under the deepest first-child chain below the
    // network node and makes it current, with notification.
    void InsertNetworkPlace(std::unique_ptr<HFolderNode> node);
    // Makes item current (and highlighted); notifies with notify.
    void MakeCurrent(const wxTreeItemId& item, bool notify);
    // Makes the previous (step -1) or next (step 1) visible node current,
    // with notification. False when there is none.
    bool StepVisible(int step);

    wxTreeItemId GetCurrentItem() const { return current_; }
    HFolderNode* GetCurrentNode() const { return NodeOf(current_); }
    HFolderNode* NodeOf(const wxTreeItemId& item) const;
    // The first node of the kind, depth-first from the root.
    wxTreeItemId FindKind(int kind) const;
    // Drop-down size; width or height <= 0 take the combo's width and 100.
    void SetDropSize(int width, int height);

    // ---- wxComboPopup -----------------------------------------------------
    bool Create(wxWindow* parent) override;
    wxWindow* GetControl() override { return this; }
    void SetStringValue(const wxString&) override {}
    wxString GetStringValue() const override;
    void PaintComboControl(wxDC& dc, const wxRect& rect) override;
    void OnComboKeyEvent(wxKeyEvent& event) override;
    void OnPopup() override;
    void OnDismiss() override;
    wxSize GetAdjustedSize(int minWidth, int prefHeight, int maxHeight) override;

private:
    // The clicked (or else highlighted) item becomes current, the popup
    // closes and the explorer is told.
    void Choose(const wxTreeItemId& item, bool prune);
    void Notify();
    // While the drop-down is open (or as it opens), the combo's description
    // tells the highlighted folder, so that a screen reader reads each one in turn.
    void Announce(const wxTreeItemId& item, bool opening = false);
    wxTreeItemId NextInOrder(const wxTreeItemId& item, bool visibleOnly) const;
    wxTreeItemId FindPath(const wxTreeItemId& from, const std::string& path) const;

    void OnMotion(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnSelChanged(wxTreeEvent& event);
    void OnExpanded(wxTreeEvent& event);
    void OnCollapsed(wxTreeEvent& event);

    HFolderCombo* combo_;
    wxTreeItemId current_;
    int dropWidth_ = 0;
    int dropHeight_ = 100;

    wxDECLARE_EVENT_TABLE();
};
