// Icons and type names as Explorer shows them, from the shell's file
// information, asked by kind so that a file need not exist to be described.
#include "base/platform/gui/shell_info.h"
#include "base/resources/strings.h"

#include "base/platform/wide_text.h"

#include <wx/msw/wrapwin.h>
#include <shellapi.h>

#include <wx/icon.h>
#include <wx/image.h>

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

constexpr const char* kFolderKey = "/folder";

std::string LastName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The shell's answer for a kind: a sample name with the kind's extension,
// described by its attributes alone.
bool AskShell(const std::string& key, UINT flags, SHFILEINFOW& info) {
    const bool folder = key == kFolderKey;
    const std::wstring sample = folder ? L"folder" : L"file" + WideText(key);
    return SHGetFileInfoW(sample.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                          &info, sizeof info, flags | SHGFI_USEFILEATTRIBUTES) != 0;
}

} // namespace

// Programs are told apart by their extension here, as Explorer does.
std::string ShellKindKey(const std::string& path, bool isDirectory) {
    if (isDirectory) return kFolderKey;
    const std::string name = LastName(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "";
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::string WinShellInfo::TypeName(const std::string& path, bool isDirectory) {
    const std::string key = ShellKindKey(path, isDirectory);
    if (auto it = types_.find(key); it != types_.end()) return it->second;
    SHFILEINFOW info{};
    std::string name;
    if (AskShell(key, SHGFI_TYPENAME, info) && info.szTypeName[0]) name = Utf8Text(info.szTypeName);
    if (name.empty()) name = isDirectory ? strings::Tr("Folder") : ExtensionTypeName(key);
    return types_.emplace(key, name).first->second;
}

wxBitmap WinShellInfo::Icon(const std::string& path, bool isDirectory, int size) {
    const std::string key = ShellKindKey(path, isDirectory);
    const auto cacheKey = std::make_pair(key, size);
    if (auto it = icons_.find(cacheKey); it != icons_.end()) return it->second;
    SHFILEINFOW info{};
    wxBitmap bitmap;
    if (AskShell(key, SHGFI_ICON | (size <= 16 ? SHGFI_SMALLICON : SHGFI_LARGEICON), info) &&
        info.hIcon) {
        wxIcon icon;
        if (icon.CreateFromHICON(info.hIcon)) { // the icon owns the handle now
            bitmap.CopyFromIcon(icon);
        } else {
            DestroyIcon(info.hIcon);
        }
        if (bitmap.IsOk() && (bitmap.GetWidth() != size || bitmap.GetHeight() != size))
            bitmap = wxBitmap(bitmap.ConvertToImage().Rescale(size, size, wxIMAGE_QUALITY_HIGH));
    }
    icons_.emplace(cacheKey, bitmap);
    return bitmap;
}

std::unique_ptr<ShellInfo> NewSystemShellInfo() {
    return std::make_unique<WinShellInfo>();
}

} // namespace platform
