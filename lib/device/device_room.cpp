#include "lib/device/device_room.h"

#include <algorithm>

uint64_t DevBlocksOf(uint64_t size, uint64_t blockSize) {
    return (size + blockSize - 1) / blockSize;
}

DevSpacePlan DevPlanSpace(const std::vector<DevRoomFile>& files, const DevRoom& room) {
    DevSpacePlan plan;
    const bool counted = room.freeEntries >= 0;
    // What the transfer holds beyond the room it started with, all files
    // taken (for the figures) and the fitting ones taken (for the choice).
    int64_t used = 0, usedEntries = 0;
    uint64_t blocksLeft = room.freeBlocks;
    int64_t entriesLeft = room.freeEntries;
    for (size_t i = 0; i < files.size(); ++i) {
        const uint64_t blocks = DevBlocksOf(files[i].size, room.blockSize);
        const uint64_t freed =
            files[i].replaces ? DevBlocksOf(*files[i].replaces, room.blockSize) : 0;
        const int64_t peak = used + static_cast<int64_t>(blocks);
        plan.neededBlocks = std::max<uint64_t>(plan.neededBlocks, peak > 0 ? uint64_t(peak) : 0);
        plan.neededEntries = std::max<uint64_t>(plan.neededEntries, uint64_t(usedEntries + 1));
        // A replacement gives its old blocks and entry back once it is done.
        used = peak - static_cast<int64_t>(freed);
        if (!files[i].replaces) ++usedEntries;
        if (blocks > blocksLeft || (counted && entriesLeft == 0)) {
            plan.fitsAll = false;
            continue;
        }
        blocksLeft = blocksLeft - blocks + freed;
        if (counted && !files[i].replaces) --entriesLeft;
        plan.fitting.push_back(i);
    }
    return plan;
}

DevSpacePlan DevPlanSpace(const std::vector<uint64_t>& sizes, const DevRoom& room) {
    std::vector<DevRoomFile> files;
    files.reserve(sizes.size());
    for (const uint64_t size : sizes)
        files.push_back({size, std::nullopt});
    return DevPlanSpace(files, room);
}
