#pragma once
// Reading a player file back to check a copy against it, without storing
// the second read: the bytes go through a pipe into a comparison.
#include "lib/device/kd5200usb.h"

#include <cstdint>
#include <string>

// Reads entry number of the memory (size bytes, as listed) from the player
// and compares it byte for byte with the PC file at pcPath. Returns 0 when
// they are equal, KD5200_ERR_STORAGE when they differ, KD5200_ERR_FILE_WRITE
// (errno set) when no pipe could be made, else the library's code. Nothing
// is shown; the library's progress reports go out in the check phase.
int DevCompareEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                    const std::string& pcPath);
