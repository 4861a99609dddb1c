#include "base/platform/free_space.h"

#include "base/platform/wide_text.h"

#include <windows.h>

namespace platform {

// The cluster is the allocation unit; the free bytes are those the calling
// user may still fill (quotas included).
std::optional<FreeSpace> FolderFreeSpace(const std::string& folder) {
    const std::wstring wide = WideText(folder);
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(wide.c_str(), &available, &total, &free)) return std::nullopt;
    wchar_t root[MAX_PATH];
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    uint64_t blockSize = 4096;
    if (GetVolumePathNameW(wide.c_str(), root, MAX_PATH) &&
        GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) &&
        sectorsPerCluster * bytesPerSector > 0)
        blockSize = uint64_t(sectorsPerCluster) * bytesPerSector;
    return FreeSpace{blockSize, available.QuadPart / blockSize};
}

} // namespace platform
