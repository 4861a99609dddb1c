#pragma once
// Module-level state of the device layer, shared by its source files only.
#include "lib/device/device_layer.h"
#include "lib/device/kd5200_binding.h"
#include "lib/device/kd5200usb.h"
#include "lib/settings/settings_store.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace device::detail {

// Cached directory of one player memory.
struct MemoryCache {
    std::array<KD5200_DIRENTRY, KD5200_MAX_ENTRIES> entries{};
    int32_t count = 0;     // entries written by the last read
    KD5200_MEMINFO info{}; // file count, capacity and used blocks
    bool stale = true;     // the next listing re-reads the directory
    int32_t readError = 0; // the library's code when the last read failed, else 0
};

struct State {
    KD5200_HANDLE handle = nullptr;
    settings::Timeouts timeouts;
    std::array<MemoryCache, 2> memories;
    char firmware[64] = {};
    KD5200_HWND mainWindow = nullptr;
    int filesCopied = 0; // by the last copy of a list of files
    std::vector<DevEscapedName> escapedNames; // by the last upload
    bool quiet = false; // the copy under way shows no failure (its results say them)
    bool quietCheck = false; // nor what its read-backs found
};

State& S();
// Whether memory names a player memory (0 or 1).
bool ValidMemory(int memory);
// Shows a failure through the library unless it is 0 or 14 (stopped by the
// user) or the copy under way is quiet.
void Report(KD5200_HWND parent, int code, int windowsError);
// Shows a box under the application's title unless the copy under way is quiet.
void Box(KD5200_HWND parent, const std::string& text, unsigned style);
// Closes the open handle (one that fails, for example because the player
// was unplugged since it was opened) and opens the player again; every
// memory is then read anew at its next listing. False when no new handle
// could be had.
bool Reopen();
// The player's own bytes of an entry's name in the cached directory (long
// name, else "BASE.EXT"), or "" for an entry that is not there.
std::string PlayerName(int memory, int number);
// Reads a memory's directory into the cache, as DevRefreshMemory does
// before it puts right what killed replaces left.
bool ReadDirectory(int memory);
// Handle check and directory re-read that open every memory operation.
// Returns 0 when the operation may go on, else the code already shown.
int Prepare(KD5200_HWND parent, int memory);

} // namespace device::detail
