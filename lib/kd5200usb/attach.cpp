#include "lib/kd5200usb/attach.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/kd5200usb/file_io.h"
#include "base/platform/paths.h"

namespace kd5200 {

namespace {

std::string PortFolder(const std::string& folder) {
    return folder + "/usb";
}
std::string AttachedFile(const std::string& folder) {
    return PortFolder(folder) + "/attached";
}
std::string GenerationFile(const std::string& folder) {
    return PortFolder(folder) + "/generation";
}

// The count in an open generation file (0 when empty), or -1.
int64_t ReadGeneration(int fd) {
    char text[24] = {};
    const ssize_t n = pread(fd, text, sizeof text - 1, 0);
    if (n < 0) return -1;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return n == 0 ? 0 : (end == text || value < 0 ? -1 : value);
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
    if (!attached && !IsAttached(folder)) return {};
    if (!platform::MakeDirectories(PortFolder(folder))) return Fail(KD5200_ERR_STORAGE, errno);
    // The count and the state change under one lock, so that readers see
    // both or neither.
    FileHandle count(open(GenerationFile(folder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (count.Get() < 0 || flock(count.Get(), LOCK_EX) != 0) return Fail(KD5200_ERR_STORAGE, errno);
    if (IsAttached(folder) == attached) return {};
    const int64_t generation = ReadGeneration(count.Get());
    const std::string text = std::to_string(generation < 0 ? 1 : generation + 1);
    if (pwrite(count.Get(), text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()) ||
        ftruncate(count.Get(), static_cast<off_t>(text.size())) != 0)
        return Fail(KD5200_ERR_STORAGE, errno);
    if (!attached) {
        if (unlink(AttachedFile(folder).c_str()) != 0 && errno != ENOENT)
            return Fail(KD5200_ERR_STORAGE, errno);
        return {};
    }
    FileHandle file(open(AttachedFile(folder).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (file.Get() < 0) return Fail(KD5200_ERR_STORAGE, errno);
    return {};
}

PlugState ReadPlugState(const std::string& folder) {
    PlugState state;
    FileHandle count(open(GenerationFile(folder).c_str(), O_RDONLY | O_CLOEXEC));
    // No count yet: a player never plugged or unplugged by this version.
    if (count.Get() < 0) {
        state.generation = errno == ENOENT ? 0 : -1;
        state.attached = IsAttached(folder);
        return state;
    }
    if (flock(count.Get(), LOCK_SH) != 0) state.generation = -1;
    state.attached = IsAttached(folder);
    if (state.generation == 0) state.generation = ReadGeneration(count.Get());
    return state;
}

Status CheckPlugged(const std::string& folder, int64_t generation) {
    const PlugState state = ReadPlugState(folder);
    if (!state.attached) return Fail(KD5200_ERR_NOT_ATTACHED);
    if (state.generation != generation) return Fail(KD5200_ERR_REPLUGGED);
    return {};
}

void PlugWatch::Watch(const std::string& folder) {
    folder_ = folder;
    verified_ = -1;
    watch_ = FileHandle(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (watch_.Get() < 0) return;
    if (inotify_add_watch(watch_.Get(), PortFolder(folder).c_str(),
                          IN_CREATE | IN_DELETE | IN_MODIFY | IN_MOVED_FROM | IN_MOVED_TO |
                              IN_DELETE_SELF | IN_MOVE_SELF) < 0)
        watch_ = FileHandle();
}

bool PlugWatch::Quiet() {
    alignas(inotify_event) char events[4096];
    bool quiet = true;
    for (;;) {
        const ssize_t n = read(watch_.Get(), events, sizeof events);
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

Status PlugWatch::Check(const std::string& folder, int64_t generation) {
    const bool quiet = watch_.Get() >= 0 && folder == folder_ && Quiet();
    if (quiet && verified_ == generation) return {};
    // Something happened, or nothing is known yet: the watch is set up anew
    // (a removed folder ends it) before the state is read, so that a change
    // after the reading is seen at the next check.
    if (!quiet) Watch(folder);
    Status status = CheckPlugged(folder, generation);
    verified_ = status && watch_.Get() >= 0 ? generation : -1;
    return status;
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
