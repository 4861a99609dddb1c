#pragma once
// Binary output with its length and a sticky error flag, so that a
// conversion notices a full disk or a closed pipe.

#include <cstdint>
#include <cstdio>

namespace convert {

// Writes to an open stream; once a write fails, every later one fails too.
class OutputStream {
public:
    explicit OutputStream(std::FILE* out) : out_(out) {}

    // Appends n bytes; false once anything has failed.
    bool Write(const void* data, std::size_t n);

    // Appends n bytes straight to the stream's file, without the stream's
    // buffer (what the stream holds is written first); from then on every
    // write goes straight to the file.
    bool WriteThrough(const void* data, std::size_t n);

    // Overwrites n bytes at offset (the stream position is left after them).
    bool WriteAt(long offset, const void* data, std::size_t n);

    // Pushes buffered bytes to the file; false if anything failed.
    bool Flush();

    // Bytes appended so far.
    std::uint64_t Length() const { return length_; }

    bool Failed() const { return failed_; }

private:
    bool Direct();

    std::FILE* out_;
    std::uint64_t length_ = 0;
    bool failed_ = false;
    int fd_ = -1; // once written straight to the file: its descriptor
};

} // namespace convert
