#pragma once
// Reader of the voice recorder's QDX container: a mode byte, a frame-type
// flag, then groups of up to 10 frames, each group after a 7-byte group
// header (0xFF 0xFB and 5 ignored bytes). Reads a few bytes at a time
// through the stream's own buffer.

#include "amr_storage.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace convert {

// One frame as stored in the file: its first byte and payload.
struct QdxFrame {
    FrameType type = FrameType::Speech;
    std::array<std::uint8_t, 15> bytes{};
};

// Reads the frames of one QDX file from a stream positioned at its start.
class QdxReader {
public:
    enum class Status {
        Ok,        // header accepted, or a whole frame read
        NotQdx,    // no valid header: too short, no group header, unknown mode
        End,       // no further frame
        Truncated, // the last frame's payload is cut short by the end of the file
        ReadError,
    };

    explicit QdxReader(std::FILE* in) : in_(in) {}

    // Reads the mode byte, the frame-type flag and the first group header.
    Status ReadHeader();

    // Reads the next frame, skipping the group header due before it.
    Status ReadFrame(QdxFrame& frame);

    // The storage-format frame the decoder takes for a frame of this file.
    StorageFrame ToStorage(const QdxFrame& frame) const;

    // Input bytes consumed so far (the stream position).
    long Position() const { return position_; }

    bool Mr59() const { return mr59_; }
    bool Typed() const { return typed_; }

    static constexpr int kGroupFrames = 10;

private:
    std::size_t Read(void* data, std::size_t n);
    Status SkipGroupHeader();

    std::FILE* in_;
    long position_ = 0;
    bool mr59_ = false;  // mode byte 1: 5.9 kbit/s; 0: 4.75 kbit/s
    bool typed_ = false; // frames carry two frame-type bits
    int groupCount_ = 0; // frames read since the last group header
};

} // namespace convert
