#include "tools/kdplayer/whole_files.h"

#include "base/platform/open_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <vector>

namespace kdplayer {

namespace {

int WriteAll(int fd, const void* data, size_t size) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// A hidden name beside name, as the kit's other writers choose theirs.
std::string HiddenName(const std::string& name) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device device;
    std::string hidden = name.size() + 9 > 255 ? ".kd5200." : "." + name + ".";
    for (int i = 0; i < 6; ++i)
        hidden += kChars[device() % (sizeof kChars - 1)];
    return hidden;
}

} // namespace

WholeFiles::~WholeFiles() {
    if (dir_ >= 0) close(dir_);
}

int WholeFiles::Open(const std::string& folder) {
    dir_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return dir_ < 0 ? errno : 0;
}

int WholeFiles::Write(const std::string& name, const void* data, size_t size) {
    struct stat old {};
    const bool exists = fstatat(dir_, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(old.st_mode)) return EISDIR;
    // A file no name reaches; where the file system has none, a hidden one,
    // locked while it is written as the kit's other writers lock theirs.
    platform::OpenFile file(openat(dir_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
    std::string named;
    if (file.Fd() < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
        for (int attempt = 0; attempt < 100 && named.empty(); ++attempt) {
            const std::string hidden = HiddenName(name);
            const int fd = openat(dir_, hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                named = hidden;
                file.Reset(fd);
            } else if (errno != EEXIST) {
                return errno;
            }
        }
        if (named.empty()) return EEXIST;
        flock(file.Fd(), LOCK_EX | LOCK_NB);
    }
    int error = WriteAll(file.Fd(), data, size);
    if (error == 0 && exists && S_ISREG(old.st_mode)) fchmod(file.Fd(), old.st_mode & 07777);
    if (error == 0) {
        error = named.empty() ? Place(file.Fd(), name, exists)
                : renameat(dir_, named.c_str(), dir_, name.c_str()) == 0 ? 0 : errno;
    }
    if (error != 0 && !named.empty()) unlinkat(dir_, named.c_str(), 0);
    return error;
}

// Gives the unnamed file fd its name; an existing file of that name is
// replaced by a rename, which a link cannot do.
int WholeFiles::Place(int fd, const std::string& name, bool replace) {
    const std::string source = "/proc/self/fd/" + std::to_string(fd);
    if (!replace) {
        if (linkat(AT_FDCWD, source.c_str(), dir_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
        if (errno != EEXIST) return errno;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string hidden = HiddenName(name);
        if (linkat(AT_FDCWD, source.c_str(), dir_, hidden.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (renameat(dir_, hidden.c_str(), dir_, name.c_str()) == 0) return 0;
            const int error = errno;
            unlinkat(dir_, hidden.c_str(), 0);
            return error;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int WholeFiles::Sync() {
    // One flush of the folder's file system instead of one for each file.
    if (syncfs(dir_) != 0) return errno;
    return SyncNames();
}

int WholeFiles::SyncNames() {
    return fsync(dir_) != 0 ? errno : 0;
}

} // namespace kdplayer
