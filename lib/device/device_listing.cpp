// Memory space, file count and directory listing from the cached directory.
#include "lib/device/device_layer.h"
#include "lib/device/device_state.h"
#include "lib/lists/dir_entry_list.h"

#include <cstring>
#include <string>

using device::detail::S;
using device::detail::ValidMemory;

namespace {

// Whether the memory's directory can be used: a player is open, the index is
// valid, and a stale directory (or any, with force) was read again. A
// listing is a fresh look at the player: when the handle fails because the
// player was unplugged and plugged in again since it was opened, the player
// is opened again and read. Operations on entries never do that, so that
// entry numbers of an old listing reach nothing.
bool Ready(int memory, bool force) {
    if (!S().handle || !ValidMemory(memory)) return false;
    if (!force && !S().memories[memory].stale) return true;
    if (DevRefreshMemory(memory)) return true;
    return S().memories[memory].readError == KD5200_ERR_REPLUGGED && device::detail::Reopen() &&
           DevRefreshMemory(memory);
}

// Cuts trailing spaces of a fixed text field, writing the terminator into it.
void TrimField(char* field, size_t size) {
    field[size - 1] = '\0';
    size_t length = std::strlen(field);
    while (length > 0 && field[length - 1] == ' ')
        --length;
    field[length] = '\0';
}

// The name bytes of an entry as the player keeps them.
std::string RawName(KD5200_DIRENTRY& entry) {
    entry.longName[sizeof entry.longName - 1] = '\0';
    if (entry.longName[0] != '\0') return entry.longName;
    TrimField(entry.name, sizeof entry.name);
    TrimField(entry.ext, sizeof entry.ext);
    std::string name = entry.name;
    if (entry.ext[0] != '\0') name += std::string(".") + entry.ext;
    return name;
}

} // namespace

std::string device::detail::PlayerName(int memory, int number) {
    if (!ValidMemory(memory)) return "";
    auto& cache = S().memories[memory];
    if (number < 0 || number >= cache.count) return "";
    return RawName(cache.entries[number]);
}

bool DevGetMemorySpace(int memory, uint64_t* capacityBytes, uint64_t* freeBytes) {
    if (!Ready(memory, false)) return false;
    const KD5200_MEMINFO& info = S().memories[memory].info;
    if (info.capacityBlocks == 0) return false;
    const uint64_t capacity = info.capacityBlocks;
    const uint64_t used = info.usedBlocks < capacity ? info.usedBlocks : capacity;
    if (capacityBytes) *capacityBytes = capacity << 14;
    if (freeBytes) *freeBytes = (capacity - used) << 14;
    return true;
}

bool DevGetRoom(int memory, DevRoom* room) {
    uint64_t freeBytes = 0;
    if (!Ready(memory, true) || !DevGetMemorySpace(memory, nullptr, &freeBytes)) return false;
    if (room)
        *room = DevRoom{KD5200_BLOCK_SIZE, freeBytes / KD5200_BLOCK_SIZE,
                        KD5200_MAX_ENTRIES - static_cast<int64_t>(DevGetFileCount(memory))};
    return true;
}

int DevGetFileCount(int memory) {
    if (!Ready(memory, false)) return 0;
    const KD5200_MEMINFO& info = S().memories[memory].info;
    return info.capacityBlocks == 0 ? 0 : static_cast<int>(info.fileCount);
}

bool DevListFiles(int memory, HDirEntryList& list, bool force) {
    if (!Ready(memory, force)) return false;
    auto& cache = S().memories[memory];
    if (cache.info.capacityBlocks == 0) return false;
    for (int32_t number = 0; number < cache.count; ++number) {
        KD5200_DIRENTRY& entry = cache.entries[number];
        const std::string name = RawName(entry);
        // Shown in the PC's text; the entry keeps the player's bytes.
        list.Add(DevNameToText(name).c_str(), number, entry.size);
    }
    return true;
}
