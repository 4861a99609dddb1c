#include "lib/mpeg/mpeg_audio.h"
#include "base/resources/strings.h"

#include "base/platform/error_text.h"
#include "base/platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace mpeg {

namespace {

// Files up to this size are read whole and every frame is walked; of larger
// ones only the start is read and the length comes from the info header or
// the first frame's bit rate.
constexpr std::size_t kWholeFileLimit = 256u << 20;
// How far past the ID3v2 tag the first frame is searched.
constexpr std::size_t kSyncSearchLimit = 1u << 20;

constexpr int kBitrates[2][3][16] = {
    // MPEG 1: layer I, II, III
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1}},
    // MPEG 2 and 2.5: layer I, II, III
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1}},
};
constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000}, // MPEG 1
    {22050, 24000, 16000}, // MPEG 2
    {11025, 12000, 8000},  // MPEG 2.5
};

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Size of an ID3v2 tag at p (header, body and footer), or 0.
std::size_t Id3v2Size(std::span<const std::uint8_t> data, std::size_t p) {
    if (p + 10 > data.size() || std::memcmp(&data[p], "ID3", 3) != 0) return 0;
    const std::uint8_t* s = &data[p + 6];
    if ((s[0] | s[1] | s[2] | s[3]) & 0x80) return 0;
    const std::size_t body =
        std::size_t(s[0]) << 21 | std::size_t(s[1]) << 14 | std::size_t(s[2]) << 7 | s[3];
    return 10 + body + ((data[p + 5] & 0x10) ? 10 : 0);
}

// Whether a frame starts at p and the stream goes on after it: the next
// header agrees on version, layer and sample rate, or the frame ends the data.
bool FrameChainAt(std::span<const std::uint8_t> data, std::size_t p, std::size_t end,
                  FrameHeader& header) {
    if (p + 4 > end || !DecodeFrameHeader(&data[p], header)) return false;
    const std::size_t next = p + header.frameBytes;
    if (next == end) return true;
    if (next + 4 > end) return false;
    FrameHeader second;
    return DecodeFrameHeader(&data[next], second) && second.version == header.version &&
           second.layer == header.layer && second.sampleRate == header.sampleRate;
}

// Offset of the Xing/Info header in a layer III frame: after the side information.
std::size_t XingOffset(const FrameHeader& h) {
    const bool mono = h.channelMode == ChannelMode::Mono;
    if (h.version == 10) return 4 + (mono ? 17 : 32);
    return 4 + (mono ? 9 : 17);
}

} // namespace

bool DecodeFrameHeader(const std::uint8_t* b, FrameHeader& h) {
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (b[1] >> 3) & 3;
    const int layerBits = (b[1] >> 1) & 3;
    const int bitrateIndex = b[2] >> 4;
    const int rateIndex = (b[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3)
        return false;
    h.version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
    h.layer = 4 - layerBits;
    const int family = h.version == 10 ? 0 : 1;
    h.bitrateKbps = kBitrates[family][h.layer - 1][bitrateIndex];
    h.sampleRate = kSampleRates[h.version == 10 ? 0 : h.version == 20 ? 1 : 2][rateIndex];
    h.padding = (b[2] >> 1) & 1;
    h.crc = !(b[1] & 1);
    h.channelMode = static_cast<ChannelMode>(b[3] >> 6);
    const long bps = long(h.bitrateKbps) * 1000;
    if (h.layer == 1) {
        h.samplesPerFrame = 384;
        h.frameBytes = int((12 * bps / h.sampleRate + h.padding) * 4);
    } else if (h.layer == 2 || h.version == 10) {
        h.samplesPerFrame = 1152;
        h.frameBytes = int(144 * bps / h.sampleRate + h.padding);
    } else {
        h.samplesPerFrame = 576;
        h.frameBytes = int(72 * bps / h.sampleRate + h.padding);
    }
    return h.frameBytes > 4;
}

StreamInfo AnalyseStreamPrefix(std::span<const std::uint8_t> data, std::uint64_t totalSize) {
    StreamInfo info;
    const bool whole = data.size() >= totalSize;
    // Tags at either end are not audio.
    std::size_t start = 0;
    while (std::size_t tag = Id3v2Size(data, start))
        start += tag;
    std::size_t end = data.size();
    if (whole && end >= start + 128 && std::memcmp(&data[end - 128], "TAG", 3) == 0) end -= 128;
    if (start >= end) return info;

    FrameHeader h;
    std::size_t p = start;
    const std::size_t searchEnd = std::min(end, start + kSyncSearchLimit);
    while (p < searchEnd && !FrameChainAt(data, p, end, h))
        ++p;
    if (p >= searchEnd) return info;
    info.found = true;
    info.first = h;
    info.firstFrameOffset = p;

    // An info header in the first frame stands in for the frame count.
    std::uint64_t headerFrames = 0, headerBytes = 0;
    bool haveHeader = false;
    if (h.layer == 3) {
        const std::size_t x = p + XingOffset(h);
        const std::size_t v = p + 4 + 32;
        if (x + 16 <= end &&
            (std::memcmp(&data[x], "Xing", 4) == 0 || std::memcmp(&data[x], "Info", 4) == 0)) {
            const std::uint32_t flags = BigEndian32(&data[x + 4]);
            std::size_t q = x + 8;
            if (flags & 1) {
                headerFrames = BigEndian32(&data[q]);
                q += 4;
            }
            if ((flags & 2) && q + 4 <= end) headerBytes = BigEndian32(&data[q]);
            haveHeader = headerFrames > 0;
            info.source = CountSource::XingHeader;
            info.vbr = std::memcmp(&data[x], "Xing", 4) == 0;
        } else if (v + 18 <= end && std::memcmp(&data[v], "VBRI", 4) == 0) {
            headerBytes = BigEndian32(&data[v + 10]);
            headerFrames = BigEndian32(&data[v + 14]);
            haveHeader = headerFrames > 0;
            info.source = CountSource::VbriHeader;
            info.vbr = true;
        }
        if (haveHeader) {
            // The info frame holds no audio; the first audio frame tells the
            // channel mode and rate of the stream.
            p += h.frameBytes;
            FrameHeader audio;
            if (p + 4 <= end && DecodeFrameHeader(&data[p], audio) &&
                audio.sampleRate == h.sampleRate && audio.layer == h.layer)
                info.first = audio;
        } else {
            info.source = CountSource::FrameWalk;
        }
    }

    // Walk the frames; a damaged stretch is skipped up to the next chain of frames.
    std::uint64_t frames = 0, bytes = 0, samples = 0;
    int firstRate = -1;
    bool varying = false;
    while (p < end) {
        FrameHeader f;
        if (p + 4 <= end && DecodeFrameHeader(&data[p], f) && f.sampleRate == h.sampleRate &&
            f.layer == h.layer) {
            if (p + f.frameBytes > end) {
                if (whole) info.truncated = true;
                break;
            }
            ++frames;
            bytes += f.frameBytes;
            samples += f.samplesPerFrame;
            if (firstRate < 0)
                firstRate = f.bitrateKbps;
            else if (f.bitrateKbps != firstRate)
                varying = true;
            p += f.frameBytes;
            continue;
        }
        // Lost sync: look for the next chain of frames.
        std::size_t q = p + 1;
        while (q < end && !FrameChainAt(data, q, end, f))
            ++q;
        if (q >= end) {
            // Only trailing bytes of another tag (APE, Lyrics) are not a cut.
            if (whole && end - p > 0 && end - p >= 4 && std::memcmp(&data[p], "APET", 4) != 0 &&
                std::memcmp(&data[p], "LYRI", 4) != 0)
                info.truncated = true;
            break;
        }
        p = q;
    }
    if (varying) info.vbr = true;

    if (haveHeader && whole && !info.truncated) {
        info.frames = headerFrames;
        info.audioBytes = headerBytes ? headerBytes : bytes;
        info.seconds = double(headerFrames) * h.samplesPerFrame / h.sampleRate;
    } else if (!whole) {
        // Only the start was read: the info header, or a constant bit rate.
        const std::uint64_t audio = totalSize - info.firstFrameOffset;
        if (haveHeader) {
            info.frames = headerFrames;
            info.audioBytes = headerBytes ? headerBytes : audio;
            info.seconds = double(headerFrames) * h.samplesPerFrame / h.sampleRate;
        } else {
            info.audioBytes = audio;
            info.seconds = double(audio) * 8 / (h.bitrateKbps * 1000.0);
            info.frames = std::uint64_t(info.seconds * h.sampleRate / h.samplesPerFrame);
        }
    } else {
        info.frames = frames;
        info.audioBytes = bytes;
        info.seconds = double(samples) / h.sampleRate;
        if (info.source != CountSource::FrameWalk && info.truncated)
            info.source = CountSource::FrameWalk;
    }
    if (info.seconds > 0)
        info.averageKbps = int(double(info.audioBytes) * 8 / info.seconds / 1000 + 0.5);
    // A constant rate is the frames' own rate, not the slightly different
    // quotient of the bytes and the duration.
    if (!info.vbr) info.averageKbps = info.first.bitrateKbps;
    return info;
}

StreamInfo AnalyseStream(std::span<const std::uint8_t> data) {
    return AnalyseStreamPrefix(data, data.size());
}

bool AnalyseFile(const std::string& path, StreamInfo& info, std::string& error) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(platform::OpenFile(path, "rb"), std::fclose);
    if (!file) {
        error = platform::SystemErrorText(errno);
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        error = platform::SystemErrorText(errno);
        return false;
    }
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    if (size < 0) {
        error = platform::SystemErrorText(errno);
        return false;
    }
    std::vector<std::uint8_t> data(std::min<std::uint64_t>(std::uint64_t(size), kWholeFileLimit));
    const std::size_t got = std::fread(data.data(), 1, data.size(), file.get());
    if (got < data.size() && std::ferror(file.get())) {
        error = platform::SystemErrorText(errno);
        return false;
    }
    const bool prefix = got == data.size() && data.size() < std::uint64_t(size);
    data.resize(got);
    info = AnalyseStreamPrefix(data, prefix ? std::uint64_t(size) : got);
    return true;
}

std::string VersionText(int version) {
    switch (version) {
    case 10:
        return "MPEG 1";
    case 20:
        return "MPEG 2";
    case 25:
        return "MPEG 2.5";
    default:
        return "MPEG";
    }
}

std::string LayerText(int layer) {
    switch (layer) {
    case 1:
        return "Layer I";
    case 2:
        return "Layer II";
    case 3:
        return "Layer III";
    default:
        return "";
    }
}

std::string ChannelModeText(ChannelMode mode) {
    switch (mode) {
    case ChannelMode::Stereo:
        return SD_TEXT("Stereo");
    case ChannelMode::JointStereo:
        return SD_TEXT("Joint stereo");
    case ChannelMode::DualChannel:
        return SD_TEXT("Dual channel");
    case ChannelMode::Mono:
        return SD_TEXT("Mono");
    }
    return "";
}

} // namespace mpeg
