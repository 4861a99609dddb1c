#pragma once
// Files on the PC side of a transfer: opening sources with the error codes
// of the device library, output that appears whole or not at all, and
// copying byte ranges between files.
#include <cstdint>
#include <string>

#include "lib/kd5200usb/errors.h"
#include "base/platform/atomic_file.h"

namespace kd5200 {

// An open file descriptor, closed on destruction.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.Release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;

    int Get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// Opens a regular file for reading and tells its size. A missing file gives
// KD5200_ERR_FILE_NOT_FOUND with system error 2, any other failure
// KD5200_ERR_FILE_READ with the errno. A FIFO, device or socket is refused
// with KD5200_ERR_NOT_REGULAR, without waiting for a writer.
Status OpenSource(const std::string& path, FileHandle& file, uint64_t& size);

// Reads a whole file of at most maxBytes; a larger one fails with tooLarge.
Status ReadSource(const std::string& path, int64_t maxBytes, int32_t tooLarge,
                  std::string& contents);

// Output to a PC file that appears whole or not at all (platform::AtomicFile):
// a regular file is replaced on Commit, keeping its mode, and a read-only one
// is refused; a device or a FIFO is written straight through.
class AtomicOutput {
public:
    // Opens the output for target; a target inside playerFolder (the
    // player's own storage) is refused with KD5200_ERR_OUTPUT_IN_PLAYER.
    Status Create(const std::string& target, const std::string& playerFolder);
    int Fd() const { return stream_.Get() >= 0 ? stream_.Get() : file_.Fd(); }
    // Whether the output is written straight into the target.
    bool Direct() const { return stream_.Get() >= 0 || file_.Direct(); }
    // A path by which the output can be opened again for writing before
    // Commit (empty when Direct).
    const std::string& TempPath() const { return file_.TempPath(); }
    // Closes the file and, unless Direct, puts it in place of the target.
    Status Commit();

private:
    platform::AtomicFile file_;
    FileHandle stream_; // a FIFO, socket or character device, opened directly
};

// A scratch file in folder that no name reaches, so that it vanishes with
// the process; path is set to a name by which it can be opened again.
Status CreateScratch(const std::string& folder, FileHandle& file, std::string& path);

// Writes all of data to fd at its current position.
Status WriteAll(int fd, const char* data, size_t size, int32_t code);

// Which side of a copy failed: the error code for the source and for the
// destination.
struct CopyErrors {
    int32_t read;
    int32_t write;
};

// Copies length bytes from in at inOffset to out at outOffset. A source that
// ends early is a read error (EIO). Holes of the source stay holes in a
// regular destination (zeroed where the destination had data); an output
// that cannot seek (a FIFO) is written in order.
Status CopyRange(int in, uint64_t inOffset, int out, uint64_t outOffset, uint64_t length,
                 CopyErrors errors);

// The last component of a path.
std::string BaseName(const std::string& path);

} // namespace kd5200
