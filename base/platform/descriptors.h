#pragma once
// Files open by the C library's descriptor, for code that works on ranges of
// a file: opening by path (UTF-8; on Windows through the wide-character API),
// positioned reads and writes, length, locks, and the system's fast copies
// where it has them. Failures return -1 or false with errno set.

#include "base/platform/files.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class OpenFor {
    Read,
    ReadNoWait,      // reading, without waiting for a writer of a FIFO
    Write,           // an existing file, device or pipe
    ReadWrite,       // an existing file
    ReadWriteCreate, // made when missing (mode 0600 or 0644 as given)
};
// Opens a descriptor that no child process inherits. On Windows the file
// may be renamed or removed while open, as on POSIX systems.
int OpenDescriptor(const std::string& path, OpenFor mode, int permissions = 0600);
int CloseDescriptor(int fd);

// read, write, pread and pwrite: bytes moved, 0 at the end, -1 on failure.
// A positioned write into a pipe fails with ESPIPE. On Windows a positioned
// call moves the file position.
long long ReadSome(int fd, void* data, std::size_t n);
long long WriteSome(int fd, const void* data, std::size_t n);
long long ReadSomeAt(int fd, void* data, std::size_t n, std::uint64_t offset);
long long WriteSomeAt(int fd, const void* data, std::size_t n, std::uint64_t offset);

struct DescriptorInfo {
    FileKind kind = FileKind::Missing;
    bool pipe = false;         // a pipe or FIFO (Stream)
    std::uint64_t size = 0;
    std::uint64_t identity = 0; // the same for every descriptor of one file
    bool removed = false;      // the file has no name any more
};
bool Describe(int fd, DescriptorInfo& info);
// The same for a path, following links, without opening it where the system
// can tell without.
bool DescribePath(const std::string& path, DescriptorInfo& info);
// Whether writes can be placed (a file, not a pipe or a terminal).
bool Seekable(int fd);
bool SetLength(int fd, std::uint64_t length);
// Flushes the file's data to the disk.
bool SyncData(int fd);
// Starts writing a range to the disk without waiting for it (where the
// system can), so that a later SyncData has less to wait for.
void StartWriting(int fd, std::uint64_t offset, std::uint64_t length);

// A whole-file lock between descriptors of any process, as flock. Without
// wait, a lock held elsewhere fails with EWOULDBLOCK. Reads and writes of
// other holders are not blocked.
bool LockDescriptor(int fd, bool exclusive, bool wait);
void UnlockDescriptor(int fd);

// Zeroes a range as a hole, without changing the length; false where the
// file system cannot (the caller writes zeros).
bool PunchHole(int fd, std::uint64_t offset, std::uint64_t length);
// Copies in the kernel (copy_file_range, or splice into a pipe), moving the
// offsets: bytes copied, or 0 or -1 where it cannot (the caller copies).
long long CopyInSystem(int in, std::uint64_t& inOffset, int out, std::uint64_t& outOffset,
                       std::uint64_t length);
long long SpliceToPipe(int in, std::uint64_t& inOffset, int pipe, std::uint64_t length);
// The start of the next data at or after offset (end when only a hole
// follows), and the end of that data: where the file system cannot tell
// holes, all of the file is data.
std::uint64_t NextData(int fd, std::uint64_t offset, std::uint64_t end);
std::uint64_t NextHole(int fd, std::uint64_t offset, std::uint64_t end);

// unlink, and rename that replaces the target (written through to the disk
// on Windows); rmdir of an empty folder.
bool RemoveFile(const std::string& path);
bool RenameOver(const std::string& from, const std::string& to);
bool RemoveFolder(const std::string& path);

// A scratch file in folder that goes when its descriptor is closed through
// CloseDescriptor (on Linux without a name at all, so also when the process
// is killed); path opens it again meanwhile. unnamed false: a named file
// unnamed at once where the system allows.
int OpenScratchFile(const std::string& folder, bool unnamed, std::string& path);

// Whether a system error means the disk or the user's quota is full.
bool IsNoSpace(int error);

} // namespace platform
