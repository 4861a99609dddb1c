#pragma once
// Room left where a transfer writes: whole blocks of a size, and on a player
// memory, directory entries; and whether the files of a transfer fit there,
// worked out before anything is written.
#include <cstdint>
#include <optional>
#include <vector>

struct DevRoom {
    uint64_t blockSize = 0;
    uint64_t freeBlocks = 0;
    int64_t freeEntries = -1; // -1: no limit (a PC folder)
};

// One file of a transfer: its size and, when it replaces a file there, the
// size of that file. A replacement is copied beside the old file, which
// goes only once the copy is whole: both take room, and an entry, at once.
struct DevRoomFile {
    uint64_t size = 0;
    std::optional<uint64_t> replaces;
};

struct DevSpacePlan {
    // The room the whole transfer takes at its fullest moment, files copied
    // in the order given.
    uint64_t neededBlocks = 0;
    uint64_t neededEntries = 0;
    bool fitsAll = true;
    // The files that fit, by index, in the order given: each file is taken
    // when it fits in what the files taken before it left.
    std::vector<size_t> fitting;
};

// Blocks a file of size bytes takes.
uint64_t DevBlocksOf(uint64_t size, uint64_t blockSize);

DevSpacePlan DevPlanSpace(const std::vector<DevRoomFile>& files, const DevRoom& room);
// The same for new files only.
DevSpacePlan DevPlanSpace(const std::vector<uint64_t>& sizes, const DevRoom& room);
