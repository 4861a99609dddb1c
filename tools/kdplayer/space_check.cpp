#include "tools/kdplayer/space_check.h"

#include "lib/device/device_layer.h"

#include <algorithm>

namespace kdplayer {

uint64_t BlocksOf(uint64_t size) {
    return (size + KD5200_BLOCK_SIZE - 1) / KD5200_BLOCK_SIZE;
}

std::string SpaceShortfall(int memory, const std::vector<uint64_t>& sizes, uint64_t freedBlocks,
                           int64_t freedEntries, int64_t entriesUsed) {
    const KD5200_MEMINFO info = DevGetMemoryInfo(memory);
    const uint64_t freeBlocks =
        info.capacityBlocks - std::min(info.usedBlocks, info.capacityBlocks) + freedBlocks;
    const int64_t freeEntries = KD5200_MAX_ENTRIES - entriesUsed + freedEntries;
    uint64_t needed = 0;
    for (const uint64_t size : sizes)
        needed += BlocksOf(size);
    const auto entries = static_cast<int64_t>(sizes.size());
    if (needed <= freeBlocks && entries <= freeEntries) return "";
    return "the files need " + std::to_string(needed) + " blocks of 16384 bytes in " +
           std::to_string(entries) + " entries; " + std::to_string(freeBlocks) + " blocks and " +
           std::to_string(freeEntries) + " entries are free";
}

} // namespace kdplayer
