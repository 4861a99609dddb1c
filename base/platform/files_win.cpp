#include "base/platform/files.h"

#include "base/platform/wide_text.h"

#include <io.h>
#include <windows.h>

namespace platform {

namespace {

// A handle that only looks at the file (no read or write access), folders
// included; closed with this object.
class LookHandle {
public:
    explicit LookHandle(const std::string& path)
        : h_(CreateFileW(WideText(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~LookHandle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    LookHandle(const LookHandle&) = delete;
    LookHandle& operator=(const LookHandle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

// A named pipe is looked at by its name alone: opening one would take the
// place of the reader that waits on it.
bool IsPipeName(const std::string& path) {
    return path.size() > 9 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
           (path[2] == '.' || path[2] == '?') && (path[3] == '\\' || path[3] == '/') &&
           _strnicmp(path.c_str() + 4, "pipe", 4) == 0;
}

bool Identity(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    return h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info);
}

bool Same(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    std::string m = mode;
    if (m.find('b') == std::string::npos) m += 'b';
    return _wfopen(WideText(path).c_str(), WideText(m).c_str());
}

FileKind KindOf(const std::string& path) {
    if (path.empty()) return FileKind::Missing;
    if (IsPipeName(path)) return FileKind::Stream;
    const LookHandle file(path);
    if (file.Get() == INVALID_HANDLE_VALUE) return FileKind::Missing;
    switch (GetFileType(file.Get())) {
    case FILE_TYPE_CHAR:
    case FILE_TYPE_PIPE:
        return FileKind::Stream;
    case FILE_TYPE_DISK: {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!Identity(file.Get(), info)) return FileKind::Other;
        return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Folder
                                                                : FileKind::Regular;
    }
    default:
        return FileKind::Other;
    }
}

bool CanRead(const std::string& path) {
    if (IsPipeName(path)) return true;
    const HANDLE h = CreateFileW(WideText(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool SameFile(int fdA, int fdB) {
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    return Identity(HandleOf(fdA), a) && Identity(HandleOf(fdB), b) && Same(a, b);
}

bool SameFile(int fd, const std::string& path) {
    const LookHandle file(path);
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    return Identity(HandleOf(fd), a) && Identity(file.Get(), b) && Same(a, b);
}

bool SameFile(const std::string& a, const std::string& b) {
    const LookHandle fa(a), fb(b);
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    return Identity(fa.Get(), ia) && Identity(fb.Get(), ib) && Same(ia, ib);
}

bool WriteAt(int fd, const void* data, std::size_t n, std::uint64_t offset) {
    // The position is put back afterwards, as pwrite leaves it.
    const __int64 position = _lseeki64(fd, 0, SEEK_CUR);
    if (position < 0 || _lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
    const char* p = static_cast<const char*>(data);
    bool written = true;
    while (n > 0) {
        const unsigned chunk = n > (1u << 30) ? (1u << 30) : static_cast<unsigned>(n);
        const int w = _write(fd, p, chunk);
        if (w <= 0) {
            written = false;
            break;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return _lseeki64(fd, position, SEEK_SET) >= 0 && written;
}

void UseStreamFromOneThread(std::FILE*) {
    // The Windows C library has no unlocked stream mode.
}

} // namespace platform
