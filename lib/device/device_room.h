#pragma once
// Room left where a transfer writes: whole blocks of a size, and on a player
// memory, directory entries.
#include <cstdint>

struct DevRoom {
    uint64_t blockSize = 0;
    uint64_t freeBlocks = 0;
    int64_t freeEntries = -1; // -1: no limit (a PC folder)
};
