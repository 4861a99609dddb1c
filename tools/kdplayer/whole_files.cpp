#include "tools/kdplayer/whole_files.h"

#include "base/platform/folder_files.h"
#include "base/platform/open_file.h"

#include <unistd.h>

#include <cerrno>

namespace kdplayer {

WholeFiles::~WholeFiles() {
    Close();
}

void WholeFiles::Close() {
    if (dir_ >= 0) close(dir_);
    dir_ = -1;
}

int WholeFiles::Open(const std::string& folder) {
    dir_ = platform::OpenFolder(folder);
    return dir_ < 0 ? errno : 0;
}

int WholeFiles::Write(const std::string& name, const void* data, size_t size) {
    platform::OpenFile file(platform::CreateBeneath(dir_, name));
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
    return platform::SyncBeneath(dir_);
}

} // namespace kdplayer
