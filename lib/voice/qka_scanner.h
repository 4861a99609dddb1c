#pragma once
// Finder of the framed IMA ADPCM blocks of a QKA recording: 260-byte blocks
// (sync 0x7F 0x7F 0x7F, one ignored byte, 256 ADPCM bytes) with any other
// bytes before, between or after them. The input is read in chunks of up to
// 2048 bytes into one fixed work buffer, so memory use does not grow with
// the file; a mapped input is scanned where it lies, in the same steps.

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
    // Scans `size` mapped bytes, reporting progress as if they were read in
    // the same steps as a stream.
    QkaScanner(const std::uint8_t* mapped, long size, Progress progress, void* user)
        : window_(mapped), size_(size), progress_(progress), user_(user) {}

    // Finds the next block; on Block, `adpcm` points at its 256 ADPCM bytes,
    // valid until the next call (of a mapped input, while the mapping is).
    Status Next(const std::uint8_t*& adpcm);
    // The first byte still to be scanned or kept (of a mapped input: all
    // before it has been passed).
    const std::uint8_t* Window() const { return window_ + p_; }

private:
    bool IsSync(std::size_t at) const;

    std::FILE* in_ = nullptr;         // null for a mapped input
    std::uint8_t* buffer_ = nullptr; // the work buffer of a stream
    const std::uint8_t* window_;     // the bytes scanned: the buffer, or a stretch of the mapping
    long size_;
    Progress progress_;
    void* user_;
    std::size_t p_ = 0;  // scan position in the buffer
    std::size_t e_ = 0;  // end of valid bytes in the buffer
    long read_ = 0;      // bytes read from the input so far
    bool atEnd_ = false; // a read has met the end of the input
};

} // namespace convert
