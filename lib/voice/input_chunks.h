#pragma once
// A regular input file read front to back in large chunks into one reusable
// buffer: few system calls, no page faults on a mapping, and memory use that
// does not grow with the file.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace convert {

class InputChunks {
public:
    // Bytes read with one call (the buffer holds a chunk and what is kept).
    static constexpr std::size_t kChunkSize = 1 << 20;

    // Reads the regular file open on fd from its start; Usable() is false
    // for any other kind of file and for an empty file.
    explicit InputChunks(int fd);

    bool Usable() const { return size_ > 0; }
    std::uint64_t Size() const { return size_; }
    // The bytes [offset, offset + n) of the file, n at most kChunkSize,
    // contiguous and valid until the next call; offset never goes back
    // before that of the previous call. Null when they cannot be read (a
    // read error, or a file cut short meanwhile).
    const std::uint8_t* At(std::uint64_t offset, std::size_t n);

private:
    int fd_;
    std::uint64_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> buffer_; // left unfilled: only what is read is touched
    std::uint64_t base_ = 0;                 // file offset of the buffer's first byte
    std::size_t filled_ = 0;                 // bytes of the file in the buffer
};

} // namespace convert
