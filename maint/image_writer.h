#pragma once
// Writes a flat image file at given offsets, buffering the writes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// A binary file written by seeking and writing; sequential writes go
// through one large buffer without seeking. Any failed write is remembered
// and reported by Close.
class ImageWriter {
public:
    ImageWriter() = default;
    ImageWriter(const ImageWriter&) = delete;
    ImageWriter& operator=(const ImageWriter&) = delete;
    ~ImageWriter();

    // Creates or truncates the file; false when that fails.
    bool Open(const std::string& path);
    // Writes n bytes at offset.
    void WriteAt(uint64_t offset, const uint8_t* data, std::size_t n);
    // Writes n zero bytes at offset.
    void ZerosAt(uint64_t offset, uint64_t n);
    // Closes the file; false when any write or the close failed.
    bool Close();

private:
    bool SeekTo(uint64_t offset);

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> streamBuffer_;
    uint64_t position_ = 0;
    bool ok_ = true;
};
