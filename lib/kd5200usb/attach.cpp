#include "lib/kd5200usb/attach.h"

#include "base/platform/device_notice.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "lib/kd5200usb/file_io.h"
#include "base/platform/descriptors.h"
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
    const long long n = platform::ReadSomeAt(fd, text, sizeof text - 1, 0);
    if (n < 0) return -1;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return n == 0 ? 0 : (end == text || value < 0 ? -1 : value);
}

} // namespace

std::string PlayerFolder() {
    const char* folder = std::getenv("KD5200_PLAYER_DIR");
    std::string path = folder && *folder ? folder : platform::DataHome() + "/kd5200-player";
    while (path.size() > 1 && std::string_view(platform::kFolderSeparators).find(path.back()) !=
                                  std::string_view::npos)
        path.pop_back();
    return path;
}

bool IsAttached(const std::string& folder) {
    return platform::PathExists(AttachedFile(folder));
}

Status SetAttached(const std::string& folder, bool attached) {
    if (!attached && !IsAttached(folder)) return {};
    if (!platform::MakeDirectories(PortFolder(folder))) return Fail(KD5200_ERR_STORAGE, errno);
    // The count and the state change under one lock, so that readers see
    // both or neither.
    FileHandle count(
        platform::OpenDescriptor(GenerationFile(folder), platform::OpenFor::ReadWriteCreate, 0644));
    if (count.Get() < 0 || !platform::LockDescriptor(count.Get(), true, true))
        return Fail(KD5200_ERR_STORAGE, errno);
    if (IsAttached(folder) == attached) return {};
    const int64_t generation = ReadGeneration(count.Get());
    const std::string text = std::to_string(generation < 0 ? 1 : generation + 1);
    if (platform::WriteSomeAt(count.Get(), text.data(), text.size(), 0) !=
            static_cast<long long>(text.size()) ||
        !platform::SetLength(count.Get(), text.size()))
        return Fail(KD5200_ERR_STORAGE, errno);
    if (!attached) {
        if (!platform::RemoveFile(AttachedFile(folder)) && errno != ENOENT)
            return Fail(KD5200_ERR_STORAGE, errno);
    } else {
        FileHandle file(
            platform::OpenDescriptor(AttachedFile(folder), platform::OpenFor::ReadWriteCreate));
        if (file.Get() < 0) return Fail(KD5200_ERR_STORAGE, errno);
    }
    // As a real player's plug or unplug, the system hears of it.
    platform::AnnounceDeviceChange();
    return {};
}

PlugState ReadPlugState(const std::string& folder) {
    PlugState state;
    FileHandle count(platform::OpenDescriptor(GenerationFile(folder), platform::OpenFor::Read));
    // No count yet: a player never plugged or unplugged by this version.
    if (count.Get() < 0) {
        state.generation = errno == ENOENT ? 0 : -1;
        state.attached = IsAttached(folder);
        return state;
    }
    if (!platform::LockDescriptor(count.Get(), false, true)) state.generation = -1;
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
    watch_.Start(PortFolder(folder), true);
}

Status PlugWatch::Check(const std::string& folder, int64_t generation) {
    const bool quiet = watch_.Active() && folder == folder_ && watch_.Quiet();
    if (quiet && verified_ == generation) return {};
    // Something happened, or nothing is known yet: the watch is set up anew
    // (a removed folder ends it) before the state is read, so that a change
    // after the reading is seen at the next check.
    if (!quiet) Watch(folder);
    Status status = CheckPlugged(folder, generation);
    verified_ = status && watch_.Active() ? generation : -1;
    return status;
}

int ChangeNotifier::Fd(const std::string& folder) {
    if (watch_.Active() && folder == folder_) return watch_.Descriptor();
    watch_.Stop();
    // The port folder exists before the player is made, so that a player
    // created and plugged in later is seen.
    if (!platform::MakeDirectories(PortFolder(folder))) return -1;
    if (!watch_.Start(PortFolder(folder), false)) return -1;
    folder_ = folder;
    return watch_.Descriptor();
}

} // namespace kd5200
