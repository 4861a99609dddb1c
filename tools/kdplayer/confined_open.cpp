#include "tools/kdplayer/confined_open.h"

#include "base/platform/error_text.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace kdplayer {

namespace {

// O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; fstat
// then refuses it before anything is read.
constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

int OpenBeneath(int dir, const std::string& relative) {
#ifdef SYS_openat2
    open_how how{};
    how.flags = kFlags;
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
                              last ? kFlags | O_NOFOLLOW : O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
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

} // namespace

int OpenRegularInside(int dir, const std::string& relative, struct stat& st) {
    const int fd = OpenBeneath(dir, relative);
    if (fd < 0) {
        // A step out of the folder counts as a link: only a link can take one.
        if (errno == EXDEV) errno = ELOOP;
        return -1;
    }
    int error = 0;
    if (fstat(fd, &st) != 0) error = errno;
    else if (!S_ISREG(st.st_mode)) error = ENODEV;
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::string OpenFailureText(int error) {
    switch (error) {
    case ENOENT:
        return "is missing";
    case ELOOP:
        return "is a link, which a backup never holds";
    case ENODEV:
        return "is not a regular file (a folder, a FIFO or a device)";
    case ENOTDIR:
        return "lies in something that is not a folder (a link or a file)";
    default:
        return platform::SystemErrorText(error);
    }
}

int ReadBounded(int fd, size_t limit, std::string& text) {
    text.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return 0;
        if (text.size() + static_cast<size_t>(n) > limit) return EFBIG;
        text.append(buffer, static_cast<size_t>(n));
    }
}

} // namespace kdplayer
