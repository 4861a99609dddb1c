// The Recycle Bin, through the shell's file operation with undo allowed.
#include "base/platform/trash.h"

#include "base/platform/wide_text.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

std::wstring FullPath(const std::string& path) {
    std::wstring wide = WideText(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return wide;
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    full.resize(written < n ? written : 0);
    return full.empty() ? wide : full;
}

} // namespace

// Only fixed disks have a Recycle Bin: the shell deletes files on removable
// and network drives for good, even when asked to allow undo.
bool CanMoveToTrash(const std::string& path) {
    const std::wstring full = FullPath(path);
    wchar_t root[MAX_PATH];
    if (GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !GetVolumePathNameW(full.c_str(), root, MAX_PATH))
        return false;
    return GetDriveTypeW(root) == DRIVE_FIXED;
}

int MoveToTrash(const std::string& path) {
    const std::wstring full = FullPath(path);
    if (GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return ENOENT;
    // The shell takes a list of names, each ended by a NUL, the list by another.
    std::wstring names = full;
    names.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = names.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const int result = SHFileOperationW(&op);
    if (result == 0 && !op.fAnyOperationsAborted) {
        // The shell reports success for some failures: the file must be gone.
        return GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES ? 0 : EACCES;
    }
    if (op.fAnyOperationsAborted) return ECANCELED;
    switch (result) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case 0x78: // the shell's "access denied at the destination"
        return EACCES;
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

} // namespace platform
