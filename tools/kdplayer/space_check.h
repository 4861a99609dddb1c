#pragma once
// Whether files fit on a player memory before anything is copied: each file
// takes whole blocks and one directory entry.
#include <cstdint>
#include <string>
#include <vector>

namespace kdplayer {

// Room on the memory; freedBlocks and freedEntries are those of files that
// the copy deletes or replaces first. Empty when the sizes fit, else the
// reason ("needs ... ; ... are free").
std::string SpaceShortfall(int memory, const std::vector<uint64_t>& sizes, uint64_t freedBlocks,
                           int64_t freedEntries, int64_t entriesUsed);

// Blocks a file of size bytes takes.
uint64_t BlocksOf(uint64_t size);

} // namespace kdplayer
