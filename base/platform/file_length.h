#pragma once
// Setting the length of an open file.
#include <cstdint>
#include <cstdio>

namespace platform {

// Writes out what the stream holds and makes the file length bytes long.
// Bytes added read as zeros and, where the file system allows, take no
// disk space. False when the file cannot be given a length (a device, a
// pipe) or the write failed.
bool SetFileLength(std::FILE* file, std::uint64_t length);

} // namespace platform
