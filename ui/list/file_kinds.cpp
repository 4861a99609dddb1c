#include "ui/list/file_kinds.h"

#include <wx/image.h>

#include "base/platform/gui/shell_info.h"
#include "ui/controls/icons.h"

namespace {

// A bitmap at exactly side x side pixels.
wxBitmap AtSide(const wxBitmap& bitmap, int side) {
    if (!bitmap.IsOk() || (bitmap.GetWidth() == side && bitmap.GetHeight() == side)) return bitmap;
    wxImage image = bitmap.ConvertToImage();
    image.Rescale(side, side, wxIMAGE_QUALITY_HIGH);
    return wxBitmap(image);
}

} // namespace

HFileKinds::HFileKinds(int size)
    : size_(size), images_(std::make_unique<wxImageList>(size, size, true, 0)) {}

int HFileKinds::IconIndex(const std::string& path, bool isDirectory) {
    const std::string key = platform::ShellKindKey(path, isDirectory);
    if (const auto it = icons_.find(key); it != icons_.end()) return it->second;
    // The shell's icon at the list's size now, and at a HiDPI window's pixel
    // size when one asks for it (the small one enlarged if the shell has none).
    const wxBitmap icon = platform::CurrentShellInfo().Icon(path, isDirectory, size_);
    const auto atSide = [icon, path, isDirectory, size = size_](int side) {
        if (side == size) return icon;
        const wxBitmap larger = platform::CurrentShellInfo().Icon(path, isDirectory, side);
        return AtSide(larger.IsOk() ? larger : icon, side);
    };
    const int index = icon.IsOk() ? AddImage(controls::DrawnBundle(atSide, size_)) : -1;
    icons_.emplace(key, index);
    return index;
}

const std::string& HFileKinds::TypeName(const std::string& path, bool isDirectory) {
    std::string key = platform::ShellKindKey(path, isDirectory);
    if (const auto it = types_.find(key); it != types_.end()) return it->second;
    return types_.emplace(std::move(key), platform::CurrentShellInfo().TypeName(path, isDirectory))
        .first->second;
}

int HFileKinds::AddImage(const wxBitmapBundle& image) {
    if (!image.IsOk()) return -1;
    const wxBitmap bitmap = AtSide(image.GetBitmap(wxSize(size_, size_)), size_);
    if (!bitmap.IsOk()) return -1;
    const int index = images_->Add(bitmap);
    if (index >= 0) {
        bundles_.resize(static_cast<size_t>(index) + 1);
        bundles_[static_cast<size_t>(index)] = image;
    }
    return index;
}

wxBitmapBundle HFileKinds::Bundle(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= bundles_.size()) return wxBitmapBundle();
    return bundles_[static_cast<size_t>(index)];
}

void HFileKinds::Clear() {
    images_->RemoveAll();
    bundles_.clear();
    icons_.clear();
    types_.clear();
}
