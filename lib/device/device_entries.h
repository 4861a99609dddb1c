#pragma once
// The directory entries of a memory as the device layer last read them, for
// programs that show short and long names apart.
#include "lib/device/kd5200usb.h"

#include <string>
#include <vector>

// One entry: its number, short name ("NAME.EXT", or "NAME" without an
// extension), long name ("" when it has only the short name) and size.
struct DevEntryNames {
    int number = 0;
    std::string shortName;
    std::string longName;
    uint32_t size = 0;
};

// Lists a memory's entries with both names; reads the directory first when
// force is set or the memory is stale. False as DevListFiles is false.
bool DevListEntryNames(int memory, std::vector<DevEntryNames>& entries, bool force);
