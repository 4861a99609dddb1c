#include "base/platform/free_space.h"

#include <sys/statvfs.h>

namespace platform {

std::optional<FreeSpace> FolderFreeSpace(const std::string& folder) {
    struct statvfs info {};
    if (statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    const uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
    if (unit == 0) return std::nullopt;
    return FreeSpace{unit, static_cast<uint64_t>(info.f_bavail)};
}

} // namespace platform
