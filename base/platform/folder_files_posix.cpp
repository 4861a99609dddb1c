#include "base/platform/folder_files.h"

#include "base/platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <wctype.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <signal.h>

namespace platform {

namespace {

// O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; fstat
// then refuses it before anything is read.
constexpr int kBeneathFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

int OpenBeneath(int dir, const std::string& relative) {
#ifdef SYS_openat2
    open_how how{};
    how.flags = kBeneathFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const long fd = syscall(SYS_openat2, dir, relative.c_str(), &how, sizeof how);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM && errno != E2BIG))
        return static_cast<int>(fd);
#endif
    // Without openat2 (older kernels, some sandboxes): one component at a
    // time, none of them a link; ".." never occurs in what is asked.
    int at = dir;
    int held = -1;
    size_t start = 0;
    for (;;) {
        const size_t slash = relative.find('/', start);
        const std::string part = relative.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") {
            if (held >= 0) close(held);
            errno = EINVAL;
            return -1;
        }
        const bool last = slash == std::string::npos;
        const int fd = openat(at, part.c_str(),
                              last ? kBeneathFlags | O_NOFOLLOW
                                   : O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        if (held >= 0) close(held);
        if (fd < 0) {
            errno = error;
            return -1;
        }
        if (last) return fd;
        held = at = fd;
        start = slash + 1;
    }
}

FileStamp StampFrom(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            S_ISREG(st.st_mode), S_ISDIR(st.st_mode)};
}

int ListOpenFolder(int fd, std::vector<std::string>& names) {
    DIR* entries = fdopendir(fd);
    if (!entries) {
        const int error = errno;
        close(fd);
        return error;
    }
    while (const dirent* entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(entries);
    return 0;
}

} // namespace

int OpenForReading(const std::string& path, bool nonBlocking) {
    return open(path.c_str(), O_RDONLY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK | O_NOCTTY : 0));
}

bool StampOf(int fd, FileStamp& stamp) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return false;
    stamp = StampFrom(st);
    return true;
}

bool StampAt(const std::string& path, FileStamp& stamp) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    stamp = StampFrom(st);
    return true;
}

int OpenFolder(const std::string& path) {
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int OpenRegularBeneath(int dir, const std::string& relative, FileStamp& stamp) {
    const int fd = OpenBeneath(dir, relative);
    if (fd < 0) {
        // A step out of the folder counts as a link: only a link can take one.
        if (errno == EXDEV) errno = ELOOP;
        return -1;
    }
    int error = 0;
    struct stat st {};
    if (fstat(fd, &st) != 0) error = errno;
    else if (!S_ISREG(st.st_mode)) error = ENODEV;
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    stamp = StampFrom(st);
    return fd;
}

int ListBeneath(int dir, const std::string& name, std::vector<std::string>& names) {
    const int fd = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    return ListOpenFolder(fd, names);
}

int CreateBeneath(int dir, const std::string& name) {
    return openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

int SyncBeneath(int dir) {
    // One flush of the folder's file system instead of one for each file.
    if (syncfs(dir) != 0) return errno;
    return fsync(dir) != 0 ? errno : 0;
}

int ListNames(const std::string& path, std::vector<std::string>& names) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    return ListOpenFolder(fd, names);
}

int ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    DIR* listing = opendir(path.c_str());
    if (!listing) return errno;
    const int fd = dirfd(listing);
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry found;
        found.name = name;
        struct stat st {};
        if (fstatat(fd, entry->d_name, &st, 0) != 0) {
            found.error = errno;
            struct stat link {};
            if (fstatat(fd, entry->d_name, &link, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(link.st_mode) && (found.error == ENOENT || found.error == ELOOP))
                found.kind = FolderEntry::DanglingLink;
        } else {
            found.size = static_cast<std::uint64_t>(st.st_size);
            found.kind = S_ISREG(st.st_mode)    ? FolderEntry::Regular
                         : S_ISDIR(st.st_mode)  ? FolderEntry::Folder
                         : S_ISFIFO(st.st_mode) ? FolderEntry::Fifo
                         : S_ISSOCK(st.st_mode) ? FolderEntry::Socket
                                                : FolderEntry::Device;
        }
        entries.push_back(std::move(found));
    }
    closedir(listing);
    return 0;
}

int MakeFolder(const std::string& path, bool own) {
    return mkdir(path.c_str(), own ? 0700 : 0777) == 0 ? 0 : errno;
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && IsReadOnly(path, st);
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

int Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int Exchange(const std::string& a, const std::string& b) {
    return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
}

int SyncFolder(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}

int AddName(const std::string& target, const std::string& link) {
    return symlink(target.c_str(), link.c_str()) == 0 ? 0 : errno;
}

int RemoveName(const std::string& path) {
    return unlink(path.c_str()) == 0 ? 0 : errno;
}

int RemoveEmptyFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0 ? 0 : errno;
}

long ProcessId() {
    return static_cast<long>(getpid());
}

bool ProcessRuns(long pid) {
    if (pid == ProcessId()) return true;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

FolderLock::~FolderLock() {
    Unlock();
}

int FolderLock::Lock(const std::string& path) {
    Unlock();
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    // Only this user's folders, as the kit's other writers remove theirs.
    struct stat st {};
    int error = 0;
    if (fstat(fd, &st) != 0) error = errno;
    else if (st.st_uid != geteuid()) error = EPERM;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0) error = errno;
    if (error != 0) {
        close(fd);
        return error;
    }
    handle_ = fd;
    path_ = path;
    return 0;
}

int FolderLock::RenameTo(const std::string& to) {
    // The lock stays with the descriptor, whatever the folder's name.
    if (const int error = Rename(path_, to)) return error;
    path_ = to;
    return 0;
}

void FolderLock::Unlock() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
    handle_ = -1;
}

char32_t UnicodeUpper(char32_t point) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return unicode ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(point), unicode)) : point;
}

} // namespace platform
