#pragma once
// HFolderCombo: the folder drop-down at the top of the desktop view. Its
// field shows the current node's image and name; its drop-down is a tree
// (HFolderTree). Whenever a node is made current with notification, the
// combo sends HEVT_FOLDER_SELECTED (a command event with the node as client
// data) to its parent, at once.
//
// Keys on the closed combo: Alt+Down or F4 opens the tree; Up/Left and
// Down/Right make the previous or next visible node current. In the open
// tree: the mouse highlights, a click or Enter chooses, Escape closes.
#include "views/desktop/folder_node.h"

#include <memory>
#include <string>

#include <wx/bmpbndl.h>
#include <wx/combo.h>
#include <wx/vector.h>

class HFolderTree;

// A node was made current; GetClientData() is the HFolderNode.
wxDECLARE_EVENT(HEVT_FOLDER_SELECTED, wxCommandEvent);
#define EVT_FOLDER_SELECTED(id, fn)                                                                \
    wx__DECLARE_EVT1(HEVT_FOLDER_SELECTED, id, wxCommandEventHandler(fn))

class HFolderCombo : public wxComboCtrl {
public:
    HFolderCombo() = default;
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    // Fills the tree (which moves to the current directory) and sets the
    // drop-down size: width <= 0 is the combo's width, height <= 0 is 100.
    void CreateDropDown(int width, int height);
    // Loads the tree's images from a bitmap resource (130).
    void SetImages(int bitmapId);
    // Gives the tree those images already drawn (controls::TreeImageBundles),
    // shared with another control rather than drawn again.
    void SetImages(const wxVector<wxBitmapBundle>& images);
    // The current node, or null.
    HFolderNode* GetCurrentNode() const;
    // Moves to path with notification and repaints the field.
    void GoToPath(const std::string& path);
    // Removes the folder nodes from the current one towards target; see
    // HFolderTree::Prune. An invalid target removes the whole chain.
    void Prune(bool notify, const wxTreeItemId& target = wxTreeItemId());
    // Goes to the parent node.
    void GoUp();
    // Inserts a network place below the network node and makes it current.
    void InsertNetworkPlace(std::unique_ptr<HFolderNode> node);
    void SetDropDownWidth(int width);

    HFolderTree* GetTree() const { return tree_; }
    // Sends HEVT_FOLDER_SELECTED for node to the parent.
    void SendFolderSelected(HFolderNode* node);

private:
    HFolderTree* tree_ = nullptr; // owned by the combo control as its popup
    int dropHeight_ = 100;
};
