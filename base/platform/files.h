#pragma once
// Files by their path as the console programs and libraries name them
// (UTF-8 text; on Windows "\" and "/" both separate folders): opening,
// kinds, identity and positioned writes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

// The characters that separate folders in a path on this system.
#ifdef _WIN32
inline constexpr const char* kFolderSeparators = "\\/";
#else
inline constexpr const char* kFolderSeparators = "/";
#endif

// Where the last name of a path starts: after its last separator, or on
// Windows after a drive without one ("C:song.mp3").
inline size_t NameStart(std::string_view path) {
    const size_t separator = path.find_last_of(kFolderSeparators);
    if (separator != std::string_view::npos) return separator + 1;
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') return 2;
#endif
    return 0;
}

// fopen for a path of any characters (modes as fopen's; "b" is added on
// systems that tell text from binary files, so every file here is bytes).
std::FILE* OpenFile(const std::string& path, const char* mode);

enum class FileKind {
    Missing,  // nothing by that name (or it cannot be looked at)
    Regular,  // a file that holds data
    Folder,
    Stream,   // a FIFO, socket, terminal or other character device: nothing to lose
    Other,
};
FileKind KindOf(const std::string& path);

// Whether the file may be opened for reading, found without opening it.
bool CanRead(const std::string& path);

// Whether two open files, or an open file and a path, are one file by any
// name or link (false when either cannot be looked at).
bool SameFile(int fdA, int fdB);
bool SameFile(int fd, const std::string& path);
bool SameFile(const std::string& a, const std::string& b);

// Writes n bytes at offset without moving the file's position; false on a
// short or failed write, or a file that cannot seek.
bool WriteAt(int fd, const void* data, std::size_t n, std::uint64_t offset);

// A stream used by one thread only may skip the C library's per-call lock
// where the library allows it.
void UseStreamFromOneThread(std::FILE* stream);

} // namespace platform
