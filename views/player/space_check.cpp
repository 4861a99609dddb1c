#include "views/player/space_check.h"

#include <cinttypes>
#include <cstdio>
#include <utility>

#include "views/player/memory_rows.h"
#include "base/platform/locale_format.h"
#include "base/resources/strings.h"

namespace player {

namespace {

// Sizes round up, as the pane's sizes and the memory's header do, so that
// the free space reads as the header says. When the need and the free space
// then read alike, both are told in KB (the need rounded up, the free space
// down), so that "needs 2MB; 2MB is free" never stands for a selection that
// does not fit.
std::string Bytes(uint64_t blocks, uint64_t blockSize) {
    const ByteCount count = CountBytes(blocks * blockSize);
    return std::to_string(count.value) + count.unit;
}

std::string Kilobytes(uint64_t bytes, bool up) {
    return platform::FormatGroupedNumber(up ? (bytes + 1023) >> 10 : bytes >> 10) +
           strings::Tr(text::kSizeUnitKB);
}

std::pair<std::string, std::string> NeedAndFreeBytes(uint64_t needBlocks, uint64_t freeBlocks,
                                                     uint64_t blockSize) {
    std::string need = Bytes(needBlocks, blockSize), free = Bytes(freeBlocks, blockSize);
    if (need == free && needBlocks != freeBlocks) {
        need = Kilobytes(needBlocks * blockSize, true);
        free = Kilobytes(freeBlocks * blockSize, false);
    }
    return {need, free};
}

// printf into a string; the formats are the catalogue's.
template <typename... Args> std::string Formatted(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, strings::Tr(format), args...);
    return text;
}

// "The files need 96KB in 3 entries; 64KB and 1 entry are free."
std::string NeedAndFree(const SpacePlan& plan, const Room& room) {
    const auto [need, free] = NeedAndFreeBytes(plan.neededBlocks, room.freeBlocks, room.blockSize);
    if (room.freeEntries < 0) return Formatted("The files need %s; %s is free.", need.c_str(), free.c_str());
    const std::string entries = Formatted(plan.neededEntries == 1 ? SD_TEXT("%d entry") : SD_TEXT("%d entries"),
                                       static_cast<int>(plan.neededEntries));
    return Formatted(room.freeEntries == 1 ? SD_TEXT("The files need %s in %s; %s and %d entry are free.")
                                        : SD_TEXT("The files need %s in %s; %s and %d entries are free."),
                  need.c_str(), entries.c_str(), free.c_str(), static_cast<int>(room.freeEntries));
}

} // namespace

std::string SpaceQuestion(const SpacePlan& plan, const Room& room, size_t fileCount) {
    return NeedAndFree(plan, room) +
           Formatted("\nCopy the %zu of %zu files that fit, in the order given?", plan.fitting.size(),
                  fileCount);
}

std::string NoSpaceText(const SpacePlan& plan, const Room& room) {
    return NeedAndFree(plan, room) + "\n" + strings::Tr("None of the files fits.");
}

} // namespace player
