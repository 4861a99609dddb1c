#include "base/platform/atomic_file.h"

#include "base/platform/temp_names.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The real path of path, whose last component may not exist.
std::string RealPath(const std::string& path) {
    if (char* real = realpath(path.c_str(), nullptr)) {
        std::string out = real;
        free(real);
        return out;
    }
    std::string folder = FolderOf(path);
    if (char* real = realpath(folder.c_str(), nullptr)) {
        folder = real;
        free(real);
    }
    return folder + (folder.back() == '/' ? "" : "/") + NameOf(path);
}

// Follows a chain of symbolic links that ends at a missing file.
std::string FollowDanglingLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t n = readlink(path.c_str(), target.data(), PATH_MAX);
        if (n <= 0) break;
        const std::string link(target.data(), static_cast<size_t>(n));
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    return path;
}

// The name by which an open file can be opened or linked again.
std::string FdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// A name for a new hidden file beside target: ".NAME." and six characters,
// or ".kd5200." and six when that would pass the file system's name limit.
std::string HiddenPattern(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string lead = folder + (folder.back() == '/' ? "." : "/.");
    const std::string name = NameOf(target);
    return name.size() + 9 > 255 ? lead + "kd5200." : lead + name + ".";
}

// Removes the hidden temporaries of earlier writers to the same target
// that were killed before they ended: those whose writer no longer holds
// their lock.
void RemoveStaleTemporaries(const std::string& pattern) {
    const std::string folder = FolderOf(pattern);
    const std::string prefix = NameOf(pattern);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = folder + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(path.c_str());
        close(fd);
    }
    closedir(dir);
}

} // namespace

void RemoveLeftoversOf(const std::string& target) {
    RemoveStaleTemporaries(HiddenPattern(target));
}

bool InsideFolder(const std::string& folder, const std::string& path) {
    const std::string base = RealPath(folder);
    const std::string resolved = RealPath(FollowDanglingLinks(path));
    return resolved == base ||
           (resolved.size() > base.size() && resolved.compare(0, base.size(), base) == 0 &&
            (base.back() == '/' || resolved[base.size()] == '/'));
}

bool IsReadOnly(const std::string& path, const struct stat& st) {
    if (access(path.c_str(), W_OK) != 0) return true;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) return false;
    errno = EACCES;
    return true;
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) close(fd_);
    if (!temp_.empty()) unlink(temp_.c_str());
}

int AtomicFile::Create(const std::string& target, bool unnamed) {
    struct stat st {
    }, link{};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return EISDIR;
    const bool isLink = lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if ((exists && !S_ISREG(st.st_mode)) || (isLink && !exists)) {
        // A device, a FIFO or a link to a missing file: written in place.
        const int flags = exists ? O_WRONLY : O_WRONLY | O_CREAT | O_TRUNC;
        fd_ = open(target.c_str(), flags | O_CLOEXEC, 0666);
        if (fd_ < 0) return errno;
        target_ = target;
        direct_ = true;
        return 0;
    }
    if (exists && IsReadOnly(target, st)) return errno;
    // A link to a regular file: the file it names is replaced.
    target_ = isLink ? RealPath(target) : target;
    // What killed writers to the same target left behind.
    RemoveStaleTemporaries(HiddenPattern(target_));
    fd_ = unnamed ? open(FolderOf(target_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666) : -1;
    if (!unnamed) errno = EOPNOTSUPP;
    if (fd_ >= 0) {
        unnamed_ = true;
        path_ = FdPath(fd_);
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        // EOPNOTSUPP, EISDIR or EINVAL: the file system cannot keep unnamed files.
        return errno;
    } else if (const int error = CreateNamed()) {
        return error;
    }
    if (exists) KeepModeOf(st);
    return 0;
}

int AtomicFile::CreateNamed() {
    const std::string pattern = HiddenPattern(target_);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.insert(name.end(), {'X', 'X', 'X', 'X', 'X', 'X', '\0'});
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) return errno;
    temp_ = name.data();
    path_ = temp_;
    // Held until the process ends, so that the next writer sees it is in use.
    flock(fd_, LOCK_EX | LOCK_NB);
    // mkstemp makes the file private; the result gets the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
    return 0;
}

void AtomicFile::KeepModeOf(const struct stat& replaced) {
    // As far as this user may: the owner first, since a new owner clears
    // the set-id bits.
    if (fchown(fd_, replaced.st_uid, replaced.st_gid) != 0 && errno == EPERM &&
        fchown(fd_, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
        // Not even the group may be kept: the file stays this user's.
    }
    fchmod(fd_, replaced.st_mode & 07777);
}

// Gives the unnamed file a hidden name beside the target (a link cannot
// replace an existing file), then renames it over the target.
int AtomicFile::LinkUnnamed() {
    const std::string pattern = HiddenPattern(target_);
    const std::string source = FdPath(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = pattern + RandomSuffix();
        if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (rename(name.c_str(), target_.c_str()) != 0) {
                const int error = errno;
                unlink(name.c_str());
                return error;
            }
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int AtomicFile::Commit() {
    if (unnamed_) {
        if (const int error = LinkUnnamed()) return error;
        unnamed_ = false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) return errno;
    if (temp_.empty()) return 0;
    if (rename(temp_.c_str(), target_.c_str()) != 0) return errno;
    temp_.clear();
    return 0;
}

} // namespace platform
