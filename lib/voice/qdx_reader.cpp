#include "qdx_reader.h"

namespace convert {

namespace {

constexpr std::uint8_t kGroupSync0 = 0xFF;
constexpr std::uint8_t kGroupSync1 = 0xFB;
constexpr std::size_t kGroupRest = 5;

// Payload bytes after a frame's first byte.
std::size_t PayloadBytes(bool typed, FrameType type, bool mr59) {
    if (!typed) return mr59 ? 14 : 11;
    switch (type) {
    case FrameType::Speech:
        return mr59 ? 14 : 12;
    case FrameType::SidFirst:
    case FrameType::SidUpdate:
        return 5;
    case FrameType::NoData:
        return 0;
    }
    return 0;
}

} // namespace

std::size_t QdxReader::Read(void* data, std::size_t n) {
    const std::size_t got = std::fread(data, 1, n, in_);
    position_ += static_cast<long>(got);
    return got;
}

QdxReader::Status QdxReader::ReadHeader() {
    std::uint8_t head[4];
    if (Read(head, sizeof head) != sizeof head)
        return std::ferror(in_) ? Status::ReadError : Status::NotQdx;
    if (head[0] > 1 || head[2] != kGroupSync0 || head[3] != kGroupSync1) return Status::NotQdx;
    mr59_ = head[0] == 1;
    typed_ = head[1] != 0;
    std::uint8_t rest[kGroupRest];
    Read(rest, sizeof rest);
    if (std::ferror(in_)) return Status::ReadError;
    groupCount_ = 0;
    return Status::Ok;
}

QdxReader::Status QdxReader::SkipGroupHeader() {
    groupCount_ = 0;
    // Two bytes other than the sync are dropped and the next frame follows
    // them; a header cut short ends the file at the next frame read.
    std::uint8_t sync[2];
    if (Read(sync, sizeof sync) == sizeof sync && sync[0] == kGroupSync0 &&
        sync[1] == kGroupSync1) {
        std::uint8_t rest[kGroupRest];
        Read(rest, sizeof rest);
    }
    return std::ferror(in_) ? Status::ReadError : Status::Ok;
}

QdxReader::Status QdxReader::ReadFrame(QdxFrame& frame) {
    if (groupCount_ == kGroupFrames && SkipGroupHeader() != Status::Ok) return Status::ReadError;

    if (Read(frame.bytes.data(), 1) != 1) return std::ferror(in_) ? Status::ReadError : Status::End;
    frame.type = typed_ ? static_cast<FrameType>(frame.bytes[0] & 3) : FrameType::Speech;

    // A no-data frame would take the remembered mode; that mode starts at the
    // file's own mode and only frames of the file's mode set it, so every
    // frame of a file has the file's mode.
    const std::size_t payload = PayloadBytes(typed_, frame.type, mr59_);
    if (Read(frame.bytes.data() + 1, payload) != payload)
        return std::ferror(in_) ? Status::ReadError : Status::Truncated;
    ++groupCount_;
    return Status::Ok;
}

StorageFrame QdxReader::ToStorage(const QdxFrame& frame) const {
    return PackStorageFrame(frame.type, mr59_, frame.bytes.data(), typed_ ? 2 : 0);
}

} // namespace convert
