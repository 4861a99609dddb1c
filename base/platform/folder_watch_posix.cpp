#include "base/platform/folder_watch.h"

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

FolderWatch::~FolderWatch() {
    Stop();
}

void FolderWatch::Stop() {
    if (handle_ != kNone) close(static_cast<int>(handle_));
    handle_ = kNone;
}

bool FolderWatch::Start(const std::string& folder, bool writes) {
    Stop();
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) return false;
    const uint32_t events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                            (writes ? IN_MODIFY | IN_MOVE_SELF : 0);
    if (inotify_add_watch(fd, folder.c_str(), events) < 0) {
        close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

bool FolderWatch::Quiet() {
    if (handle_ == kNone) return false;
    alignas(inotify_event) char events[4096];
    bool quiet = true;
    for (;;) {
        const ssize_t n = read(static_cast<int>(handle_), events, sizeof events);
        if (n > 0) {
            quiet = false;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n < 0 && errno == EAGAIN) return quiet;
            return false;
        }
    }
}

int FolderWatch::Descriptor() const {
    return static_cast<int>(handle_);
}

} // namespace platform
