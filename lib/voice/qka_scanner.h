#pragma once
// Finder of the framed IMA ADPCM blocks of a QKA recording: 260-byte blocks
// (sync 0x7F 0x7F 0x7F, one ignored byte, 256 ADPCM bytes) with any other
// bytes before, between or after them. The input is read in chunks of up to
// 2048 bytes into one fixed work buffer, so memory use does not grow with
// the file; a regular file read in large chunks is scanned in its chunk
// buffer, in the same steps.

#include "input_chunks.h"
#include "voice_convert.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace convert {

// Scans one QKA stream for blocks.
class QkaScanner {
public:
    static constexpr std::size_t kBufferSize = 2048;
    static constexpr std::size_t kBlockSize = 260; // sync, ignored byte, ADPCM block
    static constexpr std::size_t kLookAhead = 264; // a block and the next sync

    enum class Status { Block, End, Stopped, ReadError };

    // `buffer` holds kBufferSize bytes and outlives the scanner; `size` is
    // the input size reported to `progress` after every read.
    QkaScanner(std::FILE* in, std::uint8_t* buffer, long size, Progress progress, void* user)
        : in_(in), buffer_(buffer), window_(buffer), size_(size), progress_(progress),
          user_(user) {}
    // Scans the `size` bytes of a file read in chunks, reporting progress as
    // if they were read in the same steps as a stream.
    QkaScanner(InputChunks& chunks, long size, Progress progress, void* user)
        : chunks_(&chunks), size_(size), progress_(progress), user_(user) {}

    // Finds the next block; on Block, `adpcm` points at its 256 ADPCM bytes,
    // valid until the next call.
    Status Next(const std::uint8_t*& adpcm);

private:
    bool IsSync(std::size_t at) const;

    std::FILE* in_ = nullptr;          // a stream, or
    InputChunks* chunks_ = nullptr;    // a file read in chunks
    std::uint8_t* buffer_ = nullptr;   // the work buffer of a stream
    const std::uint8_t* window_ = nullptr; // the bytes scanned: the buffer, or a stretch of the chunks
    std::uint64_t offset_ = 0;         // of a file read in chunks: where window_ lies in it
    long size_;
    Progress progress_;
    void* user_;
    std::size_t p_ = 0;  // scan position in the buffer
    std::size_t e_ = 0;  // end of valid bytes in the buffer
    long read_ = 0;      // bytes read from the input so far
    bool atEnd_ = false; // a read has met the end of the input
};

} // namespace convert
