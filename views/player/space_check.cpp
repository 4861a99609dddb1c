#include "views/player/space_check.h"

#include <cinttypes>
#include <cstdio>

#include "views/player/memory_rows.h"
#include "base/resources/strings.h"

namespace player {

SpacePlan PlanSpace(const std::vector<uint64_t>& sizes, const Room& room) {
    SpacePlan plan;
    uint64_t blocksLeft = room.freeBlocks;
    int64_t entriesLeft = room.freeEntries;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const uint64_t blocks = (sizes[i] + room.blockSize - 1) / room.blockSize;
        plan.neededBlocks += blocks;
        ++plan.neededEntries;
        if (blocks > blocksLeft || entriesLeft == 0) {
            plan.fitsAll = false;
            continue;
        }
        blocksLeft -= blocks;
        if (entriesLeft > 0) --entriesLeft;
        plan.fitting.push_back(i);
    }
    return plan;
}

namespace {

// Needed space rounds up, as the pane's sizes do; free space rounds down, so
// that "needs 2MB; 2MB is free" never stands for a selection that does not fit.
std::string Bytes(uint64_t blocks, uint64_t blockSize) {
    const ByteCount count = CountBytes(blocks * blockSize);
    return std::to_string(count.value) + count.unit;
}

std::string FreeBytes(uint64_t blocks, uint64_t blockSize) {
    const uint64_t bytes = blocks * blockSize;
    if (bytes < 1048576) return std::to_string(bytes >> 10) + text::kSizeUnitKB;
    return std::to_string(bytes >> 20) + text::kSizeUnitMB;
}

// "The files need 96KB in 3 entries; 64KB and 1 entry are free."
std::string NeedAndFree(const SpacePlan& plan, const Room& room) {
    std::string text = "The files need " + Bytes(plan.neededBlocks, room.blockSize);
    if (room.freeEntries >= 0) {
        text += " in " + std::to_string(plan.neededEntries) +
                (plan.neededEntries == 1 ? " entry" : " entries");
        text += "; " + FreeBytes(room.freeBlocks, room.blockSize) + " and " +
                std::to_string(room.freeEntries) +
                (room.freeEntries == 1 ? " entry are free." : " entries are free.");
    } else {
        text += "; " + FreeBytes(room.freeBlocks, room.blockSize) + " is free.";
    }
    return text;
}

} // namespace

std::string SpaceQuestion(const SpacePlan& plan, const Room& room, size_t fileCount) {
    return NeedAndFree(plan, room) + "\nCopy the " + std::to_string(plan.fitting.size()) + " of " +
           std::to_string(fileCount) + " files that fit, in the order given?";
}

std::string NoSpaceText(const SpacePlan& plan, const Room& room) {
    return NeedAndFree(plan, room) + "\nNone of the files fits.";
}

} // namespace player
