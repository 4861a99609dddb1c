#include "views/desktop/folder_tree.h"
#include "base/resources/strings.h"

#include "ui/controls/icons.h"
#include "views/desktop/folder_combo.h"
#include "base/platform/gui/accessibility.h"
#include "base/platform/files.h"
#include "base/platform/path_text.h"
#include "base/platform/paths.h"
#include "base/platform/special_folders.h"
#include "base/platform/volumes.h"


#include <vector>

#include <wx/dc.h>
#include <wx/imaglist.h>
#include <wx/settings.h>

namespace {

namespace img = controls::tree_image;

bool IsFolder(const std::string& path) {
    return platform::KindOf(path) == platform::FileKind::Folder;
}

// Length of the root of an absolute path: "/" or a drive's "C:/"; 0 when the
// path is not absolute.
size_t RootLength(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '/') return 3;
    return !path.empty() && path[0] == '/' ? 1 : 0;
}

// Whether root is path or one of its parent folders.
bool IsPathPrefix(const std::string& root, const std::string& path) {
    if (root.empty() || path.compare(0, root.size(), root) != 0) return false;
    return root.size() == path.size() || root.back() == '/' || path[root.size()] == '/';
}

int DriveImage(platform::VolumeKind kind) {
    switch (kind) {
    case platform::VolumeKind::Removable:
        return img::kRemovable;
    case platform::VolumeKind::Optical:
        return img::kCdRom;
    default:
        return img::kDrive;
    }
}

// A special folder's node, or none when the system lacks the folder.
std::unique_ptr<HFolderNode> SpecialNode(platform::SpecialFolder folder, int kind, int image) {
    const std::optional<std::string> path = platform::SpecialFolderPath(folder);
    if (!path) return nullptr;
    std::string name = platform::SpecialFolderName(folder);
    if (name.empty()) name = *path;
    return std::make_unique<HFolderNode>(name, *path, image, image, kind);
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(HFolderTree, wxTreeCtrl)
    EVT_MOTION(HFolderTree::OnMotion)
    EVT_LEFT_DOWN(HFolderTree::OnLeftDown)
    EVT_KEY_DOWN(HFolderTree::OnKeyDown)
    EVT_TREE_SEL_CHANGED(wxID_ANY, HFolderTree::OnSelChanged)
    EVT_TREE_ITEM_EXPANDED(wxID_ANY, HFolderTree::OnExpanded)
    EVT_TREE_ITEM_COLLAPSED(wxID_ANY, HFolderTree::OnCollapsed)
wxEND_EVENT_TABLE()
// clang-format on

bool HFolderTree::Create(wxWindow* parent) {
    return wxTreeCtrl::Create(parent, wxID_ANY, wxPoint(0, 0), wxSize(10, 10),
                              wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_FULL_ROW_HIGHLIGHT |
                                  wxTR_SINGLE | wxBORDER_SIMPLE);
}

HFolderNode* HFolderTree::NodeOf(const wxTreeItemId& item) const {
    return item.IsOk() ? static_cast<HFolderNode*>(GetItemData(item)) : nullptr;
}

void HFolderTree::Fill() {
    DeleteAllItems();
    current_ = wxTreeItemId();
    auto desktopNode =
        SpecialNode(platform::SpecialFolder::Desktop, folder_kind::kDesktop, img::kDesktop);
    if (!desktopNode)
        desktopNode = std::make_unique<HFolderNode>(strings::Tr("Desktop"), "", img::kDesktop, img::kDesktop,
                                                    folder_kind::kDesktop);
    const wxTreeItemId desktop = InsertNode(std::move(desktopNode), wxTreeItemId(), true);
    const wxTreeItemId computer =
        InsertNode(std::make_unique<HFolderNode>(strings::Tr("Computer"), "", img::kComputer, img::kComputer,
                                                 folder_kind::kComputer),
                   desktop, false);
    for (const platform::Volume& v : platform::ListVolumes()) {
        const int image = DriveImage(v.kind);
        InsertNode(std::make_unique<HFolderNode>(v.name, v.root, image, image, folder_kind::kDrive),
                   computer, false);
    }
    // There is no control panel folder here, so it has no node.
    InsertNode(std::make_unique<HFolderNode>(strings::Tr("Network"), "", img::kNetwork, img::kNetwork,
                                             folder_kind::kNetwork),
               desktop, false);
    // Where the desktop and documents folders are both the home folder, the
    // desktop node alone stands for it.
    auto documents =
        SpecialNode(platform::SpecialFolder::Documents, folder_kind::kDocuments, img::kDocuments);
    if (documents && documents->path != NodeOf(desktop)->path)
        InsertNode(std::move(documents), desktop, false);
    Expand(desktop);
    NavigateTo(platform::CurrentDirectory(), true);
}

wxTreeItemId HFolderTree::InsertNode(std::unique_ptr<HFolderNode> node, const wxTreeItemId& parent,
                                     bool notify) {
    const wxString text = platform::PathToDisplayText(node->name);
    const int image = node->image;
    wxTreeItemId item = parent.IsOk() ? AppendItem(parent, text, image, image, node.release())
                                      : AddRoot(text, image, image, node.release());
    MakeCurrent(item, notify);
    return item;
}

void HFolderTree::MakeCurrent(const wxTreeItemId& item, bool notify) {
    if (!item.IsOk()) return;
    for (wxTreeItemId p = GetItemParent(item); p.IsOk(); p = GetItemParent(p))
        if (!IsExpanded(p)) Expand(p);
    SelectItem(item);
    current_ = item;
    if (notify) Notify();
    if (combo_) combo_->Refresh();
}

void HFolderTree::Notify() {
    if (combo_) combo_->SendFolderSelected(GetCurrentNode());
}

wxTreeItemId HFolderTree::NextInOrder(const wxTreeItemId& item, bool visibleOnly) const {
    wxTreeItemIdValue cookie;
    if (ItemHasChildren(item) && (!visibleOnly || IsExpanded(item))) {
        wxTreeItemId child = GetFirstChild(item, cookie);
        if (child.IsOk()) return child;
    }
    for (wxTreeItemId i = item; i.IsOk(); i = GetItemParent(i)) {
        wxTreeItemId next = GetNextSibling(i);
        if (next.IsOk()) return next;
    }
    return wxTreeItemId();
}

wxTreeItemId HFolderTree::FindKind(int kind) const {
    for (wxTreeItemId i = GetRootItem(); i.IsOk(); i = NextInOrder(i, false))
        if (NodeOf(i)->kind == kind) return i;
    return wxTreeItemId();
}

wxTreeItemId HFolderTree::FindPath(const wxTreeItemId& parent, const std::string& path) const {
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = GetFirstChild(parent, cookie); c.IsOk(); c = GetNextChild(parent, cookie))
        if (NodeOf(c)->path == path) return c;
    return wxTreeItemId();
}

void HFolderTree::NavigateTo(const std::string& rawPath, bool notify) {
    std::string path = rawPath;
    while (path.size() > RootLength(path) && path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (RootLength(path) == 0) return;

    // The volume the path lies on: the deepest mount point above it.
    wxTreeItemId drive;
    size_t driveLength = 0;
    for (wxTreeItemId i = GetRootItem(); i.IsOk(); i = NextInOrder(i, false)) {
        const HFolderNode* node = NodeOf(i);
        if (node->kind == folder_kind::kDrive && IsPathPrefix(node->path, path) &&
            (!drive.IsOk() || node->path.size() > driveLength)) {
            drive = i;
            driveLength = node->path.size();
        }
    }
    if (!drive.IsOk()) return;

    // Down the chain of existing nodes, then new nodes for folders that exist.
    wxTreeItemId last = drive;
    std::string sofar = NodeOf(drive)->path;
    size_t pos = driveLength;
    bool creating = false;
    while (pos < path.size()) {
        while (pos < path.size() && path[pos] == '/')
            ++pos;
        if (pos >= path.size()) break;
        const size_t slash = path.find('/', pos);
        const std::string part = path.substr(pos, slash == std::string::npos ? slash : slash - pos);
        pos = slash == std::string::npos ? path.size() : slash;
        const std::string next = (sofar.back() == '/' ? sofar : sofar + "/") + part;
        if (!creating) {
            const wxTreeItemId found = FindPath(last, next);
            if (found.IsOk()) {
                last = found;
                sofar = next;
                continue;
            }
            creating = true;
        }
        if (!IsFolder(next)) break;
        wxTreeItemId item = AppendItem(
            last, platform::PathToDisplayText(part), img::kFolder, img::kFolder,
            new HFolderNode(part, next, img::kFolder, img::kFolderOpen, folder_kind::kFolder));
        last = item;
        sofar = next;
    }
    MakeCurrent(last, notify);
}

void HFolderTree::Prune(bool notify, const wxTreeItemId& target) {
    wxTreeItemId item = current_;
    bool removedCurrent = false;
    while (item.IsOk() && item != target && NodeOf(item)->kind == folder_kind::kFolder) {
        // Never remove the target with a subtree it lies in.
        bool holdsTarget = false;
        for (wxTreeItemId t = target; t.IsOk() && !holdsTarget; t = GetItemParent(t))
            holdsTarget = t == item;
        if (holdsTarget) break;
        const wxTreeItemId parent = GetItemParent(item);
        if (item == current_) removedCurrent = true;
        Delete(item);
        item = parent;
    }
    if (removedCurrent) current_ = wxTreeItemId();
    if (notify && target.IsOk())
        MakeCurrent(target, true);
    else if (combo_)
        combo_->Refresh();
}

void HFolderTree::GoUp() {
    if (!current_.IsOk()) return;
    const wxTreeItemId parent = GetItemParent(current_);
    if (parent.IsOk()) Prune(true, parent);
}

void HFolderTree::InsertNetworkPlace(std::unique_ptr<HFolderNode> node) {
    wxTreeItemId item = FindKind(folder_kind::kNetwork);
    if (!item.IsOk()) return;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = GetFirstChild(item, cookie); c.IsOk(); c = GetFirstChild(c, cookie))
        item = c;
    InsertNode(std::move(node), item, true);
}

bool HFolderTree::StepVisible(int step) {
    std::vector<wxTreeItemId> visible;
    for (wxTreeItemId i = GetRootItem(); i.IsOk(); i = NextInOrder(i, true))
        visible.push_back(i);
    for (size_t k = 0; k < visible.size(); ++k) {
        if (visible[k] != current_) continue;
        const long to = long(k) + step;
        if (to < 0 || to >= long(visible.size())) return false;
        MakeCurrent(visible[size_t(to)], true);
        return true;
    }
    if (visible.empty()) return false;
    MakeCurrent(visible.front(), true);
    return true;
}

void HFolderTree::SetDropSize(int width, int height) {
    dropWidth_ = width;
    dropHeight_ = height > 0 ? height : 100;
}

wxString HFolderTree::GetStringValue() const {
    const HFolderNode* node = GetCurrentNode();
    return node ? platform::PathToDisplayText(node->name) : wxString();
}

void HFolderTree::PaintComboControl(wxDC& dc, const wxRect& rect) {
    const HFolderNode* node = GetCurrentNode();
    if (!node) return;
    const int iconTop = rect.y + (rect.height - 16) / 2;
    if (node->image >= 0 && node->image < GetImageCount())
        dc.DrawBitmap(GetImageBitmapFor(this, node->image), rect.x + 4, iconTop, true);
    const wxString name = platform::PathToDisplayText(node->name);
    const wxSize extent = dc.GetTextExtent(name);
    wxRect text(rect.x + 4 + 18, rect.y + 1, extent.x + 4, rect.height - 2);
    const bool selected = combo_ && combo_->HasFocus() && !combo_->IsPopupShown();
    if (selected) {
        dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(text);
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT));
    } else {
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    }
    dc.DrawLabel(name, wxRect(text.x + 2, text.y, text.width - 2, text.height),
                 wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

void HFolderTree::OnComboKeyEvent(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_UP:
    case WXK_LEFT:
    case WXK_NUMPAD_UP:
    case WXK_NUMPAD_LEFT:
        if (!event.AltDown()) {
            StepVisible(-1);
            return;
        }
        break;
    case WXK_DOWN:
    case WXK_RIGHT:
    case WXK_NUMPAD_DOWN:
    case WXK_NUMPAD_RIGHT:
        if (!event.AltDown()) {
            StepVisible(1);
            return;
        }
        break;
    default:
        break;
    }
    event.Skip();
}

void HFolderTree::OnPopup() {
    if (current_.IsOk()) {
        SelectItem(current_);
        EnsureVisible(current_);
        // Called before the tree shows. The description is cleared and set
        // anew, so that a screen reader tells the folder the tree opens on,
        // also when it reads as before.
        if (combo_) platform::SetAccessibleDescription(combo_, wxString());
        Announce(current_, true);
    }
}

void HFolderTree::OnDismiss() {
    // Closed: the description is the current folder again.
    if (combo_ && current_.IsOk()) platform::SetAccessibleDescription(combo_, GetItemText(current_));
}

void HFolderTree::Announce(const wxTreeItemId& item, bool opening) {
    if (!combo_ || !item.IsOk() || !(opening || combo_->IsPopupShown())) return;
    wxString text = GetItemText(item);
    if (ItemHasChildren(item)) text += wxString::FromUTF8(strings::Tr(IsExpanded(item) ? SD_TEXT(", expanded") : SD_TEXT(", collapsed")));
    platform::SetAccessibleDescription(combo_, text);
}

void HFolderTree::OnSelChanged(wxTreeEvent& event) {
    Announce(event.GetItem());
    event.Skip();
}

wxSize HFolderTree::GetAdjustedSize(int minWidth, int, int) {
    return wxSize(dropWidth_ > 0 ? dropWidth_ : minWidth, dropHeight_);
}

void HFolderTree::Choose(const wxTreeItemId& item, bool prune) {
    if (!item.IsOk()) {
        Dismiss();
        return;
    }
    if (prune) Prune(false, item);
    MakeCurrent(item, false);
    Dismiss();
    Notify();
}

void HFolderTree::OnMotion(wxMouseEvent& event) {
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (item.IsOk() && (flags & wxTREE_HITTEST_ONITEM) && item != GetSelection()) SelectItem(item);
    event.Skip();
}

void HFolderTree::OnLeftDown(wxMouseEvent& event) {
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (flags & wxTREE_HITTEST_ONITEMBUTTON) {
        event.Skip(); // expands or collapses
        return;
    }
    Choose(item.IsOk() ? item : GetSelection(), true);
}

void HFolderTree::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Choose(GetSelection(), false);
        return;
    case WXK_ESCAPE:
        Dismiss();
        return;
    default:
        event.Skip();
    }
}

void HFolderTree::OnExpanded(wxTreeEvent& event) {
    if (const HFolderNode* node = NodeOf(event.GetItem()))
        SetItemImage(event.GetItem(), node->selectedImage);
    if (event.GetItem() == GetSelection()) Announce(event.GetItem());
}

void HFolderTree::OnCollapsed(wxTreeEvent& event) {
    if (const HFolderNode* node = NodeOf(event.GetItem()))
        SetItemImage(event.GetItem(), node->image);
    if (event.GetItem() == GetSelection()) Announce(event.GetItem());
}
