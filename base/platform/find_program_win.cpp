#include "base/platform/launcher.h"

#include "base/platform/wide_text.h"

#include <windows.h>

#include <algorithm>

namespace platform {

// A path, or a name looked for as Windows starts programs: the program's
// folder, the current one, the system folders and PATH, ".exe" added when
// the name has no extension.
bool FindProgram(const std::string& program, std::string& found) {
    found.clear();
    if (program.empty()) return false;
    const std::wstring name = WideText(program);
    wchar_t path[MAX_PATH] = {};
    const DWORD n = SearchPathW(nullptr, name.c_str(), L".exe", MAX_PATH, path, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    found = Utf8Text(path);
    std::replace(found.begin(), found.end(), '\\', '/');
    return true;
}

} // namespace platform
