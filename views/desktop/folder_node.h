#pragma once
// HFolderNode: one node of the folder drop-down's tree (the desktop, the
// computer, a drive, the network, a network place, the documents folder or
// a folder on the way to the one shown). The tree owns its nodes.
#include "base/platform/network_shares.h"

#include <optional>
#include <string>

#include <wx/treebase.h>

// Node kinds: special folders keep the shell's folder numbers.
namespace folder_kind {
inline constexpr int kDesktop = 0;
inline constexpr int kControls = 3;
inline constexpr int kDocuments = 5;
inline constexpr int kComputer = 17;
inline constexpr int kNetwork = 18;
inline constexpr int kDrive = -2;
inline constexpr int kFolder = -1; // a plain folder or a network place
} // namespace folder_kind

class HFolderNode : public wxTreeItemData {
public:
    HFolderNode(std::string name, std::string path, int image, int selectedImage, int kind,
                std::optional<platform::NetworkPlace> network = std::nullopt)
        : image(image), selectedImage(selectedImage), kind(kind), name(std::move(name)),
          path(std::move(path)), network(std::move(network)) {}

    int image;         // image when collapsed, and in the combo's field
    int selectedImage; // image when expanded
    int kind;          // folder_kind
    std::string name;  // shown in the tree and the combo (bytes)
    std::string path;  // file-system path (bytes); empty for nodes without one
    std::optional<platform::NetworkPlace> network;
};
