#include "tools/kdplayer/confined_open.h"

#include "base/platform/error_text.h"

#include <unistd.h>

#include <cerrno>

namespace kdplayer {

int OpenRegularInside(int dir, const std::string& relative, platform::FileStamp& stamp) {
    return platform::OpenRegularBeneath(dir, relative, stamp);
}

Message OpenFailureText(int error) {
    switch (error) {
    case ENOENT:
        return Formatted("is missing");
    case ELOOP:
        return Formatted("is a link, which a backup never holds");
    case ENODEV:
        return Formatted("is not a regular file (a folder, a FIFO or a device)");
    case ENOTDIR:
        return Formatted("lies in something that is not a folder (a link or a file)");
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
