#pragma once
// Whether files fit on a player memory before anything is copied, in
// kdplayer's words; the plan itself is the device layer's.
#include "tools/kdplayer/message.h"
#include "lib/device/device_room.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kdplayer {

// The room of the memory holding entriesUsed entries, as last read, with
// freedBlocks and freedEntries of the files a command deletes first.
DevRoom MemoryRoom(int memory, int64_t entriesUsed, uint64_t freedBlocks = 0,
                   int64_t freedEntries = 0);

// Empty when the files fit in room, copied in their order, else the reason
// ("the files need ... ; ... are free").
Message SpaceShortfall(const std::vector<DevRoomFile>& files, const DevRoom& room);

// Blocks a file of size bytes takes.
uint64_t BlocksOf(uint64_t size);

} // namespace kdplayer
