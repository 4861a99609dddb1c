// The user's special folders as the shell knows them, with its own names.
#include "base/platform/special_folders.h"

#include "base/platform/wide_text.h"

#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>
#include <shellapi.h>

#include <algorithm>

namespace platform {

std::optional<std::string> SpecialFolderPath(SpecialFolder folder) {
    const KNOWNFOLDERID& id = folder == SpecialFolder::Desktop     ? FOLDERID_Desktop
                              : folder == SpecialFolder::Documents ? FOLDERID_Documents
                                                                   : FOLDERID_PublicDesktop;
    PWSTR path = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::optional<std::string> result;
    if (SUCCEEDED(hr) && path) {
        // The kit separates folders with "/" as the wide API accepts it.
        std::string text = Utf8Text(path);
        std::replace(text.begin(), text.end(), '\\', '/');
        result = text;
    }
    CoTaskMemFree(path);
    return result;
}

std::string SpecialFolderName(SpecialFolder folder) {
    const auto path = SpecialFolderPath(folder);
    if (!path) return "";
    SHFILEINFOW info{};
    if (SHGetFileInfoW(WideText(*path).c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) &&
        info.szDisplayName[0])
        return Utf8Text(info.szDisplayName);
    const auto slash = path->find_last_of('/');
    return slash == std::string::npos ? *path : path->substr(slash + 1);
}

} // namespace platform
