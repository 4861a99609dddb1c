#pragma once
// Writes a flat image file at given offsets, buffering the writes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// A binary file written by seeking and writing; sequential writes go
// through one large buffer without seeking. Long runs of zeros past the
// data written so far are left as holes in the file, which read back as
// zeros but take neither time nor disk space. Any failed write is
// remembered and reported by Close.
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
    // Makes the n bytes at offset zeros, and the file at least offset + n long.
    void ZerosAt(uint64_t offset, uint64_t n);
    // Gives the file its full length and closes it; false when any write,
    // the length or the close failed.
    bool Close();

private:
    bool SeekTo(uint64_t offset);
    void WriteZeros(uint64_t n);

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> streamBuffer_;
    uint64_t position_ = 0; // where the next write lands
    uint64_t written_ = 0;  // end of the bytes written to the file
    uint64_t size_ = 0;     // length the file must have when closed
    bool ok_ = true;
};
