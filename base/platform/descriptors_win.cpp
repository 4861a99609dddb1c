#include "base/platform/descriptors.h"

#include "base/platform/temp_names.h"
#include "base/platform/wide_text.h"
#include "base/platform/windows_descriptors.h"
#include "base/platform/windows_errno.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <map>
#include <mutex>
#include <windows.h>

namespace platform {

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

int DescriptorOf(HANDLE h, int flags) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        CloseHandle(h);
        errno = EMFILE;
    }
    return fd;
}

namespace {

// A lock another holds is "would block", as flock says it.
int ErrnoOf(DWORD error) {
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return EWOULDBLOCK;
    return ErrnoFromWindowsError(error);
}

// Fails with the errno for GetLastError().
template <typename T>
T FailWith(T value) {
    errno = ErrnoOf(GetLastError());
    return value;
}

// Scratch files by descriptor, removed when it is closed.
std::mutex scratchMutex;
std::map<int, std::wstring> scratchFiles;

bool IsDisk(int fd) {
    return GetFileType(HandleOf(fd)) == FILE_TYPE_DISK;
}

// The place of a positioned call, and its size cut to what one call takes.
OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

DWORD OneCall(std::size_t n) {
    return n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
}

// The byte a lock takes: far past any data, since a Windows lock keeps
// other handles from reading or writing the bytes it covers.
OVERLAPPED LockPlace() {
    return At(0x7FFFFFFFFFFFFFFEull);
}

} // namespace

int OpenDescriptor(const std::string& path, OpenFor mode, int) {
    DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
    int flags = _O_RDONLY;
    switch (mode) {
    case OpenFor::Read:
    case OpenFor::ReadNoWait:
        break;
    case OpenFor::Write:
        access = GENERIC_WRITE;
        flags = _O_WRONLY;
        break;
    case OpenFor::ReadWrite:
        access |= GENERIC_WRITE;
        flags = _O_RDWR;
        break;
    case OpenFor::ReadWriteCreate:
        access |= GENERIC_WRITE;
        flags = _O_RDWR;
        disposition = OPEN_ALWAYS;
        break;
    }
    // Shared for deletion too, so that another process may replace or
    // remove the file while this one has it open.
    const HANDLE h = CreateFileW(WideText(path).c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A folder opens only for looking at; say what POSIX would.
        const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            errno = EISDIR;
            return -1;
        }
        return FailWith(-1);
    }
    return DescriptorOf(h, flags);
}

int CloseDescriptor(int fd) {
    std::wstring scratch;
    {
        const std::lock_guard<std::mutex> lock(scratchMutex);
        if (const auto it = scratchFiles.find(fd); it != scratchFiles.end()) {
            scratch = it->second;
            scratchFiles.erase(it);
        }
    }
    const int rc = _close(fd);
    if (!scratch.empty()) DeleteFileW(scratch.c_str());
    return rc;
}

long long ReadSome(int fd, void* data, std::size_t n) {
    return _read(fd, data, OneCall(n));
}

long long WriteSome(int fd, const void* data, std::size_t n) {
    return _write(fd, data, OneCall(n));
}

long long ReadSomeAt(int fd, void* data, std::size_t n, std::uint64_t offset) {
    if (!IsDisk(fd)) {
        errno = ESPIPE;
        return -1;
    }
    OVERLAPPED at = At(offset);
    DWORD got = 0;
    if (!ReadFile(HandleOf(fd), data, OneCall(n), &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : FailWith(-1LL);
    return got;
}

long long WriteSomeAt(int fd, const void* data, std::size_t n, std::uint64_t offset) {
    if (!IsDisk(fd)) {
        errno = ESPIPE;
        return -1;
    }
    OVERLAPPED at = At(offset);
    DWORD put = 0;
    if (!WriteFile(HandleOf(fd), data, OneCall(n), &put, &at)) return FailWith(-1LL);
    return put;
}

bool Describe(int fd, DescriptorInfo& info) {
    const HANDLE h = HandleOf(fd);
    if (h == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    info = {};
    switch (GetFileType(h)) {
    case FILE_TYPE_PIPE:
        info.kind = FileKind::Stream;
        info.pipe = true;
        return true;
    case FILE_TYPE_CHAR:
        info.kind = FileKind::Stream;
        return true;
    case FILE_TYPE_DISK:
        break;
    default:
        info.kind = FileKind::Other;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION file{};
    if (!GetFileInformationByHandle(h, &file)) return FailWith(false);
    info.kind = file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder
                                                                 : FileKind::Regular;
    info.size = (static_cast<std::uint64_t>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;
    info.identity = (static_cast<std::uint64_t>(file.dwVolumeSerialNumber) << 40) ^
                    ((static_cast<std::uint64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow);
    FILE_STANDARD_INFO standard{};
    info.removed = file.nNumberOfLinks == 0 ||
                   (GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard) &&
                    standard.DeletePending);
    return true;
}

// Opened for a moment: the handle's information is what Describe gives.
bool DescribePath(const std::string& path, DescriptorInfo& info) {
    const int fd = OpenDescriptor(path, OpenFor::ReadNoWait);
    if (fd < 0) return false;
    const bool described = Describe(fd, info);
    CloseDescriptor(fd);
    return described;
}

bool Seekable(int fd) {
    return IsDisk(fd);
}

bool SetLength(int fd, std::uint64_t length) {
    return _chsize_s(fd, static_cast<long long>(length)) == 0;
}

bool SyncData(int fd) {
    return FlushFileBuffers(HandleOf(fd)) ? true : FailWith(false);
}

void StartWriting(int, std::uint64_t, std::uint64_t) {
    // Windows has no such call: SyncData writes all of it.
}

bool LockDescriptor(int fd, bool exclusive, bool wait) {
    OVERLAPPED at = LockPlace();
    const DWORD flags = (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) |
                        (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    return LockFileEx(HandleOf(fd), flags, 0, 1, 0, &at) ? true : FailWith(false);
}

void UnlockDescriptor(int fd) {
    OVERLAPPED at = LockPlace();
    UnlockFileEx(HandleOf(fd), 0, 1, 0, &at);
}

bool PunchHole(int, std::uint64_t, std::uint64_t) {
    errno = ENOSYS;
    return false;
}

long long CopyInSystem(int, std::uint64_t&, int, std::uint64_t&, std::uint64_t) {
    errno = ENOSYS;
    return -1;
}

long long SpliceToPipe(int, std::uint64_t&, int, std::uint64_t) {
    errno = ENOSYS;
    return -1;
}

std::uint64_t NextData(int, std::uint64_t offset, std::uint64_t) {
    return offset;
}

std::uint64_t NextHole(int, std::uint64_t, std::uint64_t end) {
    return end;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(WideText(path).c_str()) ? true : FailWith(false);
}

bool RenameOver(const std::string& from, const std::string& to) {
    return MoveFileExW(WideText(from).c_str(), WideText(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? true
               : FailWith(false);
}

bool RemoveFolder(const std::string& path) {
    return RemoveDirectoryW(WideText(path).c_str()) ? true : FailWith(false);
}

int OpenScratchFile(const std::string& folder, bool, std::string& path) {
    // A file open here cannot lose its name and still be opened by it, so
    // the scratch file keeps its name until CloseDescriptor removes it.
    const std::string lead =
        folder + (folder.back() == '/' || folder.back() == '\\' ? "" : "\\") + "kd5200-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = lead + RandomSuffix();
        const HANDLE h = CreateFileW(WideText(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return FailWith(-1);
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
        if (fd < 0) {
            CloseHandle(h);
            DeleteFileW(WideText(name).c_str());
            errno = EMFILE;
            return -1;
        }
        const std::lock_guard<std::mutex> lock(scratchMutex);
        scratchFiles[fd] = WideText(name);
        path = name;
        return fd;
    }
    errno = EEXIST;
    return -1;
}

bool IsNoSpace(int error) {
    return error == ENOSPC;
}

} // namespace platform
