#include "base/platform/temp_file.h"

#include "base/platform/paths.h"
#include "base/platform/temp_names.h"
#include "base/platform/wide_text.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {

namespace {

std::string Lead(const std::string& folder, const std::string& prefix) {
    return folder + (!folder.empty() && (folder.back() == '\\' || folder.back() == '/') ? "" : "\\") +
           prefix;
}

// Creates a new file prefix + six characters in folder: its handle, or
// INVALID_HANDLE_VALUE with errno set.
HANDLE CreateNew(const std::string& folder, const std::string& prefix, DWORD access, DWORD flags,
                 std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = Lead(folder, prefix) + RandomSuffix();
        const HANDLE h = CreateFileW(WideText(name).c_str(), access,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, CREATE_NEW, flags, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    errno = GetLastError() == ERROR_PATH_NOT_FOUND ? ENOENT
            : GetLastError() == ERROR_FILE_EXISTS  ? EEXIST
                                                   : EACCES;
    return INVALID_HANDLE_VALUE;
}

int Descriptor(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE) return -1;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        errno = EMFILE;
    }
    return fd;
}

} // namespace

std::string CreateTempFileIn(const std::string& folder, const std::string& prefix) {
    std::string name;
    const HANDLE h = CreateNew(folder, prefix, GENERIC_READ | GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL, name);
    if (h == INVALID_HANDLE_VALUE) return {};
    CloseHandle(h);
    return name;
}

std::string CreateTempFile(const std::string& prefix) {
    return CreateTempFileIn(TempDir(), prefix);
}

std::string NewFileName(const std::string& folder, const std::string& prefix) {
    for (;;) {
        const std::string name = Lead(folder, prefix) + RandomSuffix();
        if (GetFileAttributesW(WideText(name).c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND)
            return name;
    }
}

// Deleted by the system when its last handle closes, however the process ends.
int OpenUnnamedTempFile(const std::string& prefix) {
    std::string name;
    return Descriptor(CreateNew(TempDir(), prefix, GENERIC_READ | GENERIC_WRITE,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, name));
}

int OpenAndUnname(const std::string& path) {
    const HANDLE h = CreateFileW(WideText(path).c_str(), GENERIC_READ | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_FILE_NOT_FOUND ? ENOENT : EACCES;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) CloseHandle(h);
    return fd;
}

} // namespace platform
