#include "base/platform/atomic_file.h"

#include "base/platform/files.h"
#include "base/platform/temp_names.h"
#include "base/platform/wide_text.h"
#include "base/platform/windows_errno.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <mutex>
#include <sys/stat.h>
#include <vector>
#include <windows.h>

namespace platform {

namespace {

std::size_t LastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}

std::string FolderOf(const std::string& path) {
    const auto slash = LastSeparator(path);
    return slash == std::string::npos ? "." : (slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
}

std::string NameOf(const std::string& path) {
    const auto slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string HiddenPattern(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string lead = folder + (folder.back() == '/' || folder.back() == '\\' ? "." : "\\.");
    const std::string name = NameOf(target);
    return name.size() + 9 > 255 ? lead + "kd5200." : lead + name + ".";
}

// A writer marks its temporary as in use by a lock on one byte far past
// any data (Windows locks keep others from the bytes they cover).
bool LockInUse(HANDLE h) {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

// Temporaries of this process, removed when Ctrl+C or a closing console
// ends it, so that nothing half-written stays behind.
std::mutex liveMutex;
std::vector<std::wstring> liveTemporaries;

BOOL WINAPI RemoveLiveTemporaries(DWORD) {
    const std::lock_guard<std::mutex> lock(liveMutex);
    // Opened with FILE_SHARE_DELETE: the name goes now, the file when the
    // process ends.
    for (const std::wstring& temp : liveTemporaries)
        DeleteFileW(temp.c_str());
    return FALSE; // the process ends as it would have
}

void AddLive(const std::wstring& temp) {
    static std::once_flag handler;
    std::call_once(handler, [] { SetConsoleCtrlHandler(RemoveLiveTemporaries, TRUE); });
    const std::lock_guard<std::mutex> lock(liveMutex);
    liveTemporaries.push_back(temp);
}

void RemoveLive(const std::wstring& temp) {
    const std::lock_guard<std::mutex> lock(liveMutex);
    liveTemporaries.erase(std::remove(liveTemporaries.begin(), liveTemporaries.end(), temp),
                          liveTemporaries.end());
}

int ErrnoOf(DWORD error) {
    return ErrnoFromWindowsError(error);
}

void RemoveStaleTemporaries(const std::string& pattern) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(WideText(pattern + "??????").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    const std::string folder = FolderOf(pattern);
    do {
        const std::wstring path = WideText(folder + "\\") + found.cFileName;
        const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        if (LockInUse(h)) DeleteFileW(path.c_str());
        CloseHandle(h);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

void RemoveLeftoversOf(const std::string& target) {
    RemoveStaleTemporaries(HiddenPattern(target));
}

bool InsideFolder(const std::string& folder, const std::string& path) {
    wchar_t base[MAX_PATH * 4], full[MAX_PATH * 4];
    if (!GetFullPathNameW(WideText(folder).c_str(), MAX_PATH * 4, base, nullptr) ||
        !GetFullPathNameW(WideText(path).c_str(), MAX_PATH * 4, full, nullptr))
        return false;
    std::wstring b = base, f = full;
    while (b.size() > 3 && (b.back() == L'\\' || b.back() == L'/'))
        b.pop_back();
    if (f.size() < b.size() || CompareStringOrdinal(f.c_str(), static_cast<int>(b.size()), b.c_str(),
                                                     static_cast<int>(b.size()), TRUE) != CSTR_EQUAL)
        return false;
    return f.size() == b.size() || b.back() == L'\\' || f[b.size()] == L'\\' || f[b.size()] == L'/';
}

bool IsReadOnly(const std::string& path, const struct stat&) {
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    errno = EACCES;
    return true;
}

AtomicFile::~AtomicFile() {
    if (!temp_.empty()) {
        const std::wstring temp = WideText(temp_);
        DeleteFileW(temp.c_str());
        RemoveLive(temp);
    }
    if (fd_ >= 0) _close(fd_);
}

int AtomicFile::Create(const std::string& target, bool) {
    const FileKind kind = KindOf(target);
    if (kind == FileKind::Folder) return EISDIR;
    if (kind == FileKind::Stream || kind == FileKind::Other) {
        // A device or a pipe: written in place.
        fd_ = _wopen(WideText(target).c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
        if (fd_ < 0) return errno;
        target_ = target;
        direct_ = true;
        return 0;
    }
    struct stat none {};
    if (kind == FileKind::Regular && IsReadOnly(target, none)) return errno;
    target_ = target;
    const std::string pattern = HiddenPattern(target_);
    RemoveStaleTemporaries(pattern);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = pattern + RandomSuffix();
        // Shared for deletion: the rename over the target happens while it
        // is open, and Ctrl+C removes it.
        const HANDLE h = CreateFileW(WideText(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return ErrnoOf(GetLastError());
        }
        LockInUse(h);
        fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
        if (fd_ < 0) {
            CloseHandle(h);
            DeleteFileW(WideText(name).c_str());
            return EMFILE;
        }
        temp_ = name;
        path_ = name;
        AddLive(WideText(name));
        return 0;
    }
    return EEXIST;
}

int AtomicFile::Commit() {
    const int fd = fd_;
    fd_ = -1;
    if (temp_.empty()) return _close(fd) == 0 ? 0 : errno;
    // Renamed while still open and locked, so that no other writer takes it
    // for a killed one's leftover meanwhile.
    const std::wstring temp = WideText(temp_);
    const BOOL moved = MoveFileExW(temp.c_str(), WideText(target_).c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    const DWORD error = GetLastError();
    _close(fd);
    if (!moved) {
        fd_ = -1;
        return ErrnoOf(error);
    }
    RemoveLive(temp);
    temp_.clear();
    return 0;
}

} // namespace platform
