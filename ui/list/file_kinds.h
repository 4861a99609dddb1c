#pragma once
// HFileKinds: the icons and type names of a file list, one of each per kind
// of file (platform::ShellKindKey: folder, executable, or extension), taken
// from the shell information on first use. A list of 100,000 files of a few
// kinds holds a few icons and asks the shell a few times.
//
// A pane keeps one, gives it to its list (HFileListCtrl::SetKinds), and
// answers HFileListCtrl::Source::GetCellImage with IconIndex, caching the
// result in the row. Each icon is also kept for a window of any scale, so
// that a HiDPI screen shows it drawn at its own pixel size.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <wx/bmpbndl.h>
#include <wx/imaglist.h>

class HFileKinds {
public:
    // Icons of size × size pixels.
    explicit HFileKinds(int size = 16);

    // The image list the icons go into (owned here; the list does not own it).
    wxImageList* GetImageList() const { return images_.get(); }
    // The index of the icon for a file or folder (a name or a full path) in
    // the image list, or -1 when the shell has none.
    int IconIndex(const std::string& path, bool isDirectory);
    // The shell's type name for a file or folder.
    const std::string& TypeName(const std::string& path, bool isDirectory);
    // Adds an image of the pane's own (a drive, a network share); returns its
    // index, or -1 for an invalid image.
    int AddImage(const wxBitmapBundle& image);
    // The image at index for a window of any scale; invalid outside the list.
    wxBitmapBundle Bundle(int index) const;
    // Forgets every icon and type name (the image list stays, emptied).
    void Clear();

private:
    int size_;
    std::unique_ptr<wxImageList> images_;                // at the list's own size
    std::vector<wxBitmapBundle> bundles_;                // the same images, by index
    std::unordered_map<std::string, int> icons_;         // by kind key
    std::unordered_map<std::string, std::string> types_; // by kind key
};
