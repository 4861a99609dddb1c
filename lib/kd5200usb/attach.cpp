#include "lib/kd5200usb/attach.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/platform/paths.h"

namespace kd5200 {

namespace {

std::string PortFolder(const std::string& folder) {
    return folder + "/usb";
}
std::string AttachedFile(const std::string& folder) {
    return PortFolder(folder) + "/attached";
}

} // namespace

std::string PlayerFolder() {
    const char* folder = std::getenv("KD5200_PLAYER_DIR");
    std::string path = folder && *folder ? folder : platform::DataHome() + "/kd5200-player";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool IsAttached(const std::string& folder) {
    struct stat st {};
    return stat(AttachedFile(folder).c_str(), &st) == 0;
}

Status SetAttached(const std::string& folder, bool attached) {
    if (!attached) {
        if (unlink(AttachedFile(folder).c_str()) != 0 && errno != ENOENT)
            return Fail(KD5200_ERR_STORAGE, errno);
        return {};
    }
    if (!platform::MakeDirectories(PortFolder(folder))) return Fail(KD5200_ERR_STORAGE, errno);
    const int fd = open(AttachedFile(folder).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Fail(KD5200_ERR_STORAGE, errno);
    close(fd);
    return {};
}

ChangeNotifier::~ChangeNotifier() {
    if (fd_ >= 0) close(fd_);
}

int ChangeNotifier::Fd(const std::string& folder) {
    if (fd_ >= 0 && folder == folder_) return fd_;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    // The port folder exists before the player is made, so that a player
    // created and plugged in later is seen.
    if (!platform::MakeDirectories(PortFolder(folder))) return -1;
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) return -1;
    if (inotify_add_watch(fd, PortFolder(folder).c_str(),
                          IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF) <
        0) {
        close(fd);
        return -1;
    }
    fd_ = fd;
    folder_ = folder;
    return fd_;
}

} // namespace kd5200
