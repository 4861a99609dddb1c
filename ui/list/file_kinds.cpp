#include "ui/list/file_kinds.h"

#include <wx/image.h>

#include "base/platform/gui/shell_info.h"

HFileKinds::HFileKinds(int size)
    : size_(size), images_(std::make_unique<wxImageList>(size, size, true, 0)) {}

int HFileKinds::IconIndex(const std::string& path, bool isDirectory) {
    const std::string key = platform::ShellKindKey(path, isDirectory);
    if (const auto it = icons_.find(key); it != icons_.end()) return it->second;
    const int index = AddImage(platform::CurrentShellInfo().Icon(path, isDirectory, size_));
    icons_.emplace(key, index);
    return index;
}

const std::string& HFileKinds::TypeName(const std::string& path, bool isDirectory) {
    std::string key = platform::ShellKindKey(path, isDirectory);
    if (const auto it = types_.find(key); it != types_.end()) return it->second;
    return types_.emplace(std::move(key), platform::CurrentShellInfo().TypeName(path, isDirectory))
        .first->second;
}

int HFileKinds::AddImage(const wxBitmap& bitmap) {
    if (!bitmap.IsOk()) return -1;
    if (bitmap.GetWidth() == size_ && bitmap.GetHeight() == size_) return images_->Add(bitmap);
    wxImage image = bitmap.ConvertToImage();
    image.Rescale(size_, size_, wxIMAGE_QUALITY_HIGH);
    return images_->Add(wxBitmap(image));
}

void HFileKinds::Clear() {
    images_->RemoveAll();
    icons_.clear();
    types_.clear();
}
