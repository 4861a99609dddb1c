#include "tools/kdplayer/whole_files.h"

#include "base/platform/open_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kdplayer {

WholeFiles::~WholeFiles() {
    if (dir_ >= 0) close(dir_);
}

int WholeFiles::Open(const std::string& folder) {
    dir_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return dir_ < 0 ? errno : 0;
}

int WholeFiles::Write(const std::string& name, const void* data, size_t size) {
    platform::OpenFile file(
        openat(dir_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.Fd() < 0) return errno;
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(file.Fd(), at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

int WholeFiles::Sync() {
    // One flush of the folder's file system instead of one for each file.
    if (syncfs(dir_) != 0) return errno;
    return fsync(dir_) != 0 ? errno : 0;
}

} // namespace kdplayer
