#pragma once
// SHA-256 of files, for the backup manifest.
#include <cstddef>
#include <string>

namespace kdplayer {

// The digest of the file at path as 64 lower-case hexadecimal digits, or ""
// when it cannot be read.
std::string Sha256OfFile(const std::string& path);
// The digest of what remains to be read of the open file fd, or "" when it
// cannot be read.
std::string Sha256OfFd(int fd);
// The digest of size bytes at data, written so.
std::string Sha256Of(const void* data, size_t size);

} // namespace kdplayer
