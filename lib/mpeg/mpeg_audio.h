#pragma once
// MPEG audio stream facts from the frame headers: version, layer, sample
// rate, channel mode, bit rate and duration. A Xing/Info or VBRI header in
// the first frame gives the frame count of a VBR stream; without one every
// frame header is walked. Damaged and truncated streams give what could be
// read, never more.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace mpeg {

enum class ChannelMode { Stereo, JointStereo, DualChannel, Mono };

// Where the frame count came from.
enum class CountSource { XingHeader, VbriHeader, FrameWalk };

// One decoded frame header.
struct FrameHeader {
    int version = 0;     // 10 for MPEG 1, 20 for MPEG 2, 25 for MPEG 2.5
    int layer = 0;       // 1, 2 or 3
    int bitrateKbps = 0; // 0 for the free format
    int sampleRate = 0;  // Hz
    bool padding = false;
    bool crc = false;
    ChannelMode channelMode = ChannelMode::Stereo;
    int frameBytes = 0; // whole frame, header included (0 for free format)
    int samplesPerFrame = 0;
};

// Decodes a 4-byte frame header; false when it is not a usable header
// (no sync, reserved version, layer, bit rate or sample rate, free format).
bool DecodeFrameHeader(const std::uint8_t* bytes, FrameHeader& header);

// What the stream holds.
struct StreamInfo {
    bool found = false; // a frame was found; nothing below is set otherwise
    FrameHeader first;  // the first audio frame's header
    CountSource source = CountSource::FrameWalk;
    std::uint64_t frames = 0; // audio frames
    std::uint64_t audioBytes = 0;
    double seconds = 0;
    int averageKbps = 0; // average bit rate over the audio
    bool vbr = false;    // the bit rate changes from frame to frame
    // The frames stop short of the end of the data (cut off or damaged).
    bool truncated = false;
    std::size_t firstFrameOffset = 0;
};

// Analyses a whole file's bytes (ID3v2 tag at the start and ID3v1 tag at the
// end are skipped).
StreamInfo AnalyseStream(std::span<const std::uint8_t> data);

// Analyses the first data.size() bytes of a stream of totalSize bytes: when
// only a prefix is given, the length comes from the info header or the first
// frame's bit rate.
StreamInfo AnalyseStreamPrefix(std::span<const std::uint8_t> data, std::uint64_t totalSize);

// Reads a file and analyses it; false (with the system's error text in
// error) when it cannot be read.
bool AnalyseFile(const std::string& path, StreamInfo& info, std::string& error);

// "MPEG 1", "MPEG 2", "MPEG 2.5".
std::string VersionText(int version);
// "Layer I", "Layer II", "Layer III".
std::string LayerText(int layer);
// "Stereo", "Joint stereo", "Dual channel", "Mono".
std::string ChannelModeText(ChannelMode mode);

} // namespace mpeg
