#pragma once
// Files on the PC side of a transfer: opening sources with the error codes
// of the device library, output that appears whole or not at all, and
// copying byte ranges between files.
#include <cstdint>
#include <string>

#include "kd5200usb/errors.h"

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
// KD5200_ERR_FILE_READ with the errno.
Status OpenSource(const std::string& path, FileHandle& file, uint64_t& size);

// Reads a whole file of at most maxBytes (larger: KD5200_ERR_BAD_IMAGE).
Status ReadSource(const std::string& path, int64_t maxBytes, std::string& contents);

// Output to a PC file through a temporary file in the same folder that is
// renamed over the target on Commit; dropped unless committed.
class AtomicOutput {
public:
    AtomicOutput() = default;
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Creates the temporary file beside target.
    Status Create(const std::string& target);
    int Fd() const { return file_.Get(); }
    const std::string& TempPath() const { return temp_; }
    // Closes the file and renames it over the target.
    Status Commit();

private:
    FileHandle file_;
    std::string temp_;
    std::string target_;
};

// Which side of a copy failed: the error code for the source and for the
// destination.
struct CopyErrors {
    int32_t read;
    int32_t write;
};

// Copies length bytes from in at inOffset to out at outOffset. A source that
// ends early is a read error (EIO).
Status CopyRange(int in, uint64_t inOffset, int out, uint64_t outOffset, uint64_t length,
                 CopyErrors errors);

// The last component of a path.
std::string BaseName(const std::string& path);

} // namespace kd5200
