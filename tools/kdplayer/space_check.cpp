#include "tools/kdplayer/space_check.h"

#include "lib/device/device_layer.h"

#include <algorithm>

namespace kdplayer {

uint64_t BlocksOf(uint64_t size) {
    return DevBlocksOf(size, KD5200_BLOCK_SIZE);
}

DevRoom MemoryRoom(int memory, int64_t entriesUsed, uint64_t freedBlocks, int64_t freedEntries) {
    const KD5200_MEMINFO info = DevGetMemoryInfo(memory);
    return {KD5200_BLOCK_SIZE,
            info.capacityBlocks - std::min(info.usedBlocks, info.capacityBlocks) + freedBlocks,
            std::max<int64_t>(KD5200_MAX_ENTRIES - entriesUsed + freedEntries, 0)};
}

Message SpaceShortfall(const std::vector<DevRoomFile>& files, const DevRoom& room) {
    const DevSpacePlan plan = DevPlanSpace(files, room);
    if (plan.fitsAll) return "";
    return Formatted(
        "the files need %s blocks of 16384 bytes in %s entries; %s blocks and %s entries are free",
        plan.neededBlocks, plan.neededEntries, room.freeBlocks, room.freeEntries);
}

} // namespace kdplayer
