#pragma once
// The free space of the file system that holds a folder.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct FreeSpace {
    uint64_t blockSize;  // the file system's allocation unit in bytes
    uint64_t freeBlocks; // blocks an ordinary user may still fill
};

// The free space where folder lies, or nothing when it cannot be read.
std::optional<FreeSpace> FolderFreeSpace(const std::string& folder);

} // namespace platform
