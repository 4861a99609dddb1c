// Windows: whole files of the user's settings, read, replaced in one step
// and kept under a second name (paths.h).
#include "base/platform/paths.h"

#include "base/platform/temp_names.h"
#include "base/platform/wide_text.h"

#include <algorithm>
#include <windows.h>

namespace platform {

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
    const auto slash = path.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash)))
        return false;
    std::wstring temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = WideText(path + "." + RandomSuffix());
        h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < contents.size();) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
        ok = WriteFile(h, contents.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = FlushFileBuffers(h) && ok;
    ok = CloseHandle(h) && ok;
    // The rename is written through, so that it lasts as the data does.
    if (ok)
        ok = MoveFileExW(temp.c_str(), WideText(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    const HANDLE h = CreateFileW(WideText(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buffer, sizeof buffer, &n, nullptr)) {
            ok = false;
            break;
        }
        if (n == 0) break;
        contents.append(buffer, n);
    }
    CloseHandle(h);
    return ok;
}

bool KeepFileAs(const std::string& path, const std::string& keep) {
    const std::wstring from = WideText(path), to = WideText(keep);
    if (!DeleteFileW(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (CreateHardLinkW(to.c_str(), from.c_str(), nullptr)) return true;
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
}

} // namespace platform
