#include "views/desktop/folder_combo.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

#include "base/platform/gui/accessibility.h"

#include "ui/controls/icons.h"
#include "views/desktop/folder_tree.h"


wxDEFINE_EVENT(HEVT_FOLDER_SELECTED, wxCommandEvent);

namespace {

// What the drop-down chooses, as a screen reader names it.
constexpr const char* kFolderName = SD_TEXT("Folder");

} // namespace

bool HFolderCombo::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    if (!wxComboCtrl::Create(parent, id, wxString(), pos, size, wxCB_READONLY)) return false;
    // Drawn by the toolkit, not the desktop: a screen reader is told what it is.
    platform::SetAccessibleComboRole(this);
    platform::SetAccessibleName(this, wxString::FromUTF8(strings::Tr(kFolderName)));
    tree_ = new HFolderTree(this);
    SetPopupControl(tree_); // the combo owns the popup from here on
    SetCanFocus(true);      // a read-only field takes the arrow keys itself
    return true;
}

void HFolderCombo::CreateDropDown(int width, int height) {
    dropHeight_ = height > 0 ? height : 100;
    tree_->SetDropSize(width > 0 ? width : GetClientSize().x, dropHeight_);
    tree_->Fill();
}

void HFolderCombo::SetImages(int bitmapId) {
    // Images drawn for the window's scale, sharp on a HiDPI screen.
    if (bitmapId == ids::kTreeBitmap) SetImages(controls::TreeImageBundles());
}

void HFolderCombo::SetImages(const wxVector<wxBitmapBundle>& images) {
    tree_->SetImages(images);
    Refresh();
}

HFolderNode* HFolderCombo::GetCurrentNode() const {
    return tree_ ? tree_->GetCurrentNode() : nullptr;
}

void HFolderCombo::GoToPath(const std::string& path) {
    tree_->NavigateTo(path, true);
    Refresh();
}

void HFolderCombo::Prune(bool notify, const wxTreeItemId& target) {
    tree_->Prune(notify, target);
}

void HFolderCombo::GoUp() {
    tree_->GoUp();
}

void HFolderCombo::InsertNetworkPlace(std::unique_ptr<HFolderNode> node) {
    tree_->InsertNetworkPlace(std::move(node));
}

void HFolderCombo::SetDropDownWidth(int width) {
    tree_->SetDropSize(width, dropHeight_);
}

void HFolderCombo::SendFolderSelected(HFolderNode* node) {
    wxCommandEvent event(HEVT_FOLDER_SELECTED, GetId());
    event.SetEventObject(this);
    event.SetClientData(node);
    // To the parent (the desktop view) and no further up.
    if (wxWindow* parent = GetParent()) parent->GetEventHandler()->ProcessEvent(event);
}
