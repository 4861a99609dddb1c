#include "base/platform/folder_files.h"

#include "base/platform/atomic_file.h"
#include "base/platform/descriptors.h"
#include "base/platform/files.h"
#include "base/platform/wide_text.h"
#include "base/platform/windows_descriptors.h"
#include "base/platform/windows_errno.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

int ErrnoOf(DWORD error) {
    return ErrnoFromWindowsError(error);
}

// Sets errno from the thread's last Windows error and gives -1.
int Failure() {
    errno = ErrnoOf(GetLastError());
    return -1;
}

// A handle closed with this object.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(Handle&& other) noexcept : h_(other.Release()) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return h_; }
    HANDLE Release() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }

private:
    HANDLE h_;
};

// The full path of the folder open on dir, in the "\\?\" form that takes
// every name as it is (no device names, no trailing dots dropped).
bool FolderPath(int dir, std::wstring& path) {
    const HANDLE h = HandleOf(dir);
    if (h == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return Failure(), false;
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(n + 1);
    }
    path = buffer;
    return true;
}

// A name of one component beneath a folder: not empty, no "." or "..", and
// nothing Windows would read as a folder, a drive or a stream.
bool PlainComponent(const std::string& part) {
    return !part.empty() && part != "." && part != ".." &&
           part.find_first_of("\\:") == std::string::npos;
}

// Opens path itself, never what a link or junction there points at.
HANDLE OpenItself(const std::wstring& path, DWORD access, DWORD share) {
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool InfoOf(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    return GetFileInformationByHandle(h, &info) != 0;
}

std::int64_t Nanoseconds(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime) *
           100;
}

FileStamp StampFrom(const BY_HANDLE_FILE_INFORMATION& info) {
    const bool folder = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
            (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
            Nanoseconds(info.ftLastWriteTime), !folder, folder};
}

// The folder at path opened itself, as a step beneath a folder: ELOOP for
// a link or junction, ENOTDIR for a file. Held without sharing deletion,
// so that it cannot be renamed or replaced while the walk goes on.
// EWOULDBLOCK when another holds it so.
HANDLE OpenStep(const std::wstring& path, DWORD access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES) {
    HANDLE h = OpenItself(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        errno = error == ERROR_SHARING_VIOLATION ? EWOULDBLOCK : ErrnoOf(error);
        return h;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    int error = 0;
    if (!InfoOf(h, info)) error = ErrnoOf(GetLastError());
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) error = ELOOP;
    else if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) error = ENOTDIR;
    if (error != 0) {
        CloseHandle(h);
        errno = error;
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

// The names of the folder at path (a "\\?\" path), "." and ".." left out.
int NamesIn(const std::wstring& path, std::vector<std::wstring>& names,
            std::vector<WIN32_FIND_DATAW>* found = nullptr) {
    WIN32_FIND_DATAW data{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : ErrnoOf(error);
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        names.push_back(name);
        if (found) found->push_back(data);
    } while (FindNextFileW(search, &data));
    const DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? 0 : ErrnoOf(error);
}

// Writes out the cached data of every file beneath the folder at path.
int FlushTree(const std::wstring& path) {
    std::vector<std::wstring> names;
    std::vector<WIN32_FIND_DATAW> found;
    if (const int error = NamesIn(path, names, &found)) return error;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::wstring item = path + L"\\" + names[i];
        if (found[i].dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (found[i].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (const int error = FlushTree(item)) return error;
            continue;
        }
        const Handle file(CreateFileW(item.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE || !FlushFileBuffers(file.Get()))
            return ErrnoOf(GetLastError());
    }
    return 0;
}

bool IsFolderAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

int OpenForReading(const std::string& path, bool) {
    // A pipe opened by name never waits for its writer here, so there is
    // nothing to ask of a non-blocking open.
    return OpenDescriptor(path, OpenFor::Read);
}

bool StampOf(int fd, FileStamp& stamp) {
    const HANDLE h = HandleOf(fd);
    if (h == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    stamp = {};
    // A console or a pipe: neither a regular file nor a folder.
    if (GetFileType(h) != FILE_TYPE_DISK) return true;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!InfoOf(h, info)) return Failure(), false;
    stamp = StampFrom(info);
    return true;
}

bool StampAt(const std::string& path, FileStamp& stamp) {
    const FileKind kind = KindOf(path);
    if (kind == FileKind::Missing) {
        errno = ENOENT;
        return false;
    }
    stamp = {};
    if (kind != FileKind::Regular && kind != FileKind::Folder) return true;
    const Handle h(CreateFileW(WideText(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (h.Get() == INVALID_HANDLE_VALUE || !InfoOf(h.Get(), info)) return Failure(), false;
    stamp = StampFrom(info);
    return true;
}

int OpenFolder(const std::string& path) {
    const HANDLE h = CreateFileW(WideText(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) return Failure();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!InfoOf(h, info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        errno = ENOTDIR;
        return -1;
    }
    return DescriptorOf(h, _O_RDONLY);
}

int OpenRegularBeneath(int dir, const std::string& relative, FileStamp& stamp) {
    std::wstring at;
    if (!FolderPath(dir, at)) return -1;
    // Each folder on the way is opened itself and held until the file is
    // open, so that none is a link or junction and none is swapped meanwhile.
    std::vector<Handle> held;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = relative.find('/', start);
        const std::string part = relative.substr(start, slash - start);
        if (!PlainComponent(part)) {
            errno = EINVAL;
            return -1;
        }
        at += L"\\" + WideText(part);
        if (slash == std::string::npos) break;
        const HANDLE step = OpenStep(at);
        if (step == INVALID_HANDLE_VALUE) return -1;
        held.emplace_back(step);
        start = slash + 1;
    }
    Handle file(OpenItself(at, GENERIC_READ, kShareAll));
    if (file.Get() == INVALID_HANDLE_VALUE) return Failure();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!InfoOf(file.Get(), info)) return Failure();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        errno = ELOOP;
        return -1;
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = ENODEV;
        return -1;
    }
    stamp = StampFrom(info);
    return DescriptorOf(file.Release(), _O_RDONLY);
}

int ListBeneath(int dir, const std::string& name, std::vector<std::string>& names) {
    std::wstring path;
    if (!FolderPath(dir, path)) return errno;
    if (!PlainComponent(name)) return EINVAL;
    path += L"\\" + WideText(name);
    const Handle step(OpenStep(path));
    if (step.Get() == INVALID_HANDLE_VALUE) return errno;
    return ListNames(Utf8Text(path), names);
}

int CreateBeneath(int dir, const std::string& name) {
    std::wstring path;
    if (!FolderPath(dir, path)) return -1;
    if (!PlainComponent(name) || name.find('/') != std::string::npos) {
        errno = EINVAL;
        return -1;
    }
    // CREATE_NEW takes no existing name, a link's included.
    const HANDLE h = CreateFileW((path + L"\\" + WideText(name)).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Failure();
    return DescriptorOf(h, _O_WRONLY);
}

int SyncBeneath(int dir) {
    // Windows flushes one file at a time: every file beneath the folder.
    std::wstring path;
    if (!FolderPath(dir, path)) return errno;
    return FlushTree(path);
}

int ListNames(const std::string& path, std::vector<std::string>& names) {
    std::vector<std::wstring> wide;
    if (const int error = NamesIn(WideText(path), wide)) return error;
    for (const std::wstring& w : wide)
        names.push_back(Utf8Text(w));
    return 0;
}

int ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    const std::wstring folder = WideText(path);
    if (!IsFolderAt(folder)) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES ? ErrnoOf(GetLastError()) : ENOTDIR;
    }
    std::vector<std::wstring> names;
    std::vector<WIN32_FIND_DATAW> found;
    if (const int error = NamesIn(folder, names, &found)) return error;
    for (std::size_t i = 0; i < names.size(); ++i) {
        FolderEntry entry;
        entry.name = Utf8Text(names[i]);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        const DWORD attributes = found[i].dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link: what it points at, if anything.
            const Handle target(CreateFileW((folder + L"\\" + names[i]).c_str(), FILE_READ_ATTRIBUTES,
                                            kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            BY_HANDLE_FILE_INFORMATION info{};
            if (target.Get() == INVALID_HANDLE_VALUE || !InfoOf(target.Get(), info)) {
                const DWORD error = GetLastError();
                entry.error = ErrnoOf(error);
                if (entry.error == ENOENT) entry.kind = FolderEntry::DanglingLink;
                entries.push_back(std::move(entry));
                continue;
            }
            data.dwFileAttributes = info.dwFileAttributes;
            data.nFileSizeHigh = info.nFileSizeHigh;
            data.nFileSizeLow = info.nFileSizeLow;
        } else {
            data.dwFileAttributes = attributes;
            data.nFileSizeHigh = found[i].nFileSizeHigh;
            data.nFileSizeLow = found[i].nFileSizeLow;
        }
        entry.kind = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FolderEntry::Folder
                                                                     : FolderEntry::Regular;
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(std::move(entry));
    }
    return 0;
}

int MakeFolder(const std::string& path, bool) {
    // A new folder in the user's own folders is the user's already.
    return CreateDirectoryW(WideText(path).c_str(), nullptr) ? 0 : ErrnoOf(GetLastError());
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat none {};
    return IsReadOnly(path, none);
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int Rename(const std::string& from, const std::string& to) {
    const std::wstring source = WideText(from), target = WideText(to);
    // A folder takes an empty folder's place as rename does elsewhere;
    // one that holds files stays.
    if (IsFolderAt(source) && IsFolderAt(target) && !RemoveDirectoryW(target.c_str()))
        return ErrnoOf(GetLastError());
    return RenameOver(from, to) ? 0 : errno;
}

int Exchange(const std::string&, const std::string&) {
    // Windows cannot exchange two names in one step: the caller renames
    // twice, putting the first back when the second fails.
    return ENOSYS;
}

int SyncFolder(const std::string&) {
    // The renames here are written through (MOVEFILE_WRITE_THROUGH).
    return 0;
}

int AddName(const std::string& target, const std::string& link) {
    // A symbolic link needs a privilege on Windows: a second name of the
    // same file, or a copy where the folders lie on different volumes.
    const std::wstring from = WideText(target), name = WideText(link);
    if (CreateHardLinkW(name.c_str(), from.c_str(), nullptr)) return 0;
    return CopyFileW(from.c_str(), name.c_str(), TRUE) ? 0 : ErrnoOf(GetLastError());
}

int RemoveName(const std::string& path) {
    return RemoveFile(path) ? 0 : errno;
}

int RemoveEmptyFolder(const std::string& path) {
    return RemoveFolder(path) ? 0 : errno;
}

long ProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool ProcessRuns(long pid) {
    if (pid == ProcessId()) return true;
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    // A process of another user that cannot be looked at still runs.
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool runs = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

FolderLock::~FolderLock() {
    Unlock();
}

int FolderLock::Lock(const std::string& path) {
    Unlock();
    // Held without sharing the right to rename or remove it: no other
    // process can rename, remove or lock the folder meanwhile, while its
    // files are still listed and opened as usual.
    // Asking for the right to rename it fails while another holds it so.
    const std::wstring folder = WideText(path);
    const HANDLE probe = OpenStep(folder, DELETE | FILE_READ_ATTRIBUTES);
    if (probe == INVALID_HANDLE_VALUE) return errno;
    CloseHandle(probe);
    // Reading it is what makes its sharing count: a handle that only looks
    // at attributes keeps nobody out.
    const HANDLE h = OpenStep(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES);
    if (h == INVALID_HANDLE_VALUE) return errno;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    path_ = path;
    return 0;
}

int FolderLock::RenameTo(const std::string& to) {
    // Windows renames no folder that a handle holds so: it is let go for
    // the rename, a moment in which another backup of the same target could
    // take it for a killed run's leftover.
    Unlock();
    if (const int error = Rename(path_, to)) return error;
    path_ = to;
    return 0;
}

void FolderLock::Unlock() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

char32_t UnicodeUpper(char32_t point) {
    // Characters of the Basic Multilingual Plane only: the others have no
    // case in the player's code pages.
    if (point >= 0x10000) return point;
    wchar_t in = static_cast<wchar_t>(point), out = in;
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1, nullptr, nullptr, 0) != 1)
        return point;
    return out;
}

} // namespace platform
