#pragma once
// Generators of voice recordings for tests, benchmarks and the virtual
// player's demo: a speech-like signal, AMR-NB frames from opencore-amr's
// encoder packed into QDX files, IMA ADPCM blocks framed as QKA files.
// Nothing here needs an outside program at run time.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace voicedata {

// 8000 Hz mono 16-bit: talk spurts of voiced sound with pauses of quiet
// noise between them, so that an encoder with DTX sends SID and no-data
// frames. The same seed gives the same signal.
std::vector<std::int16_t> SpeechSignal(double seconds, unsigned seed = 1);

// One AMR-NB frame in the storage format (table-of-contents byte first).
using AmrFrame = std::vector<std::uint8_t>;

// Encodes whole 160-sample frames of `pcm` with opencore-amr at 5.9 kbit/s
// (`mr59`) or 4.75 kbit/s, with or without DTX.
std::vector<AmrFrame> EncodeAmr(const std::vector<std::int16_t>& pcm, bool mr59, bool dtx);

// The frames as an .amr file ("#!AMR\n" and the frames).
std::vector<std::uint8_t> AmrFile(const std::vector<AmrFrame>& frames);

// Speech bit orders: storage bit i holds serial bit order[i].
struct BitOrders {
    const std::uint8_t* mr475; // 95 entries
    const std::uint8_t* mr59;  // 118 entries
};

// The bit orders the converters use.
BitOrders ConverterBitOrders();

// How storage frames are laid out in a QDX file.
struct QdxLayout {
    bool mr59 = false;    // mode byte 1, else 0
    bool typed = true;    // frames carry two frame-type bits
    int groupFrames = 10; // frames between group headers
};

// One frame as the recorder stores it (first byte and payload). Throws
// std::invalid_argument for a frame the layout cannot hold (a frame of the
// other mode, or a SID or no-data frame without type bits).
std::vector<std::uint8_t> QdxFrame(const AmrFrame& frame, const QdxLayout& layout,
                                   const BitOrders& orders);

// A whole QDX file: mode byte, flag, then groups of frames after group headers.
std::vector<std::uint8_t> PackQdx(const std::vector<AmrFrame>& frames, const QdxLayout& layout,
                                  const BitOrders& orders = ConverterBitOrders());

using ImaBlock = std::array<std::uint8_t, 256>;

// IMA ADPCM encoding in 256-byte WAV blocks of 505 samples (the last block
// padded with silence).
std::vector<ImaBlock> ImaEncode(const std::vector<std::int16_t>& pcm);

// One QKA block: sync 0x7F 0x7F 0x7F, a fourth byte, the ADPCM block.
std::vector<std::uint8_t> QkaBlock(const ImaBlock& block, std::uint8_t fourth = 0);

// QKA blocks one after another.
std::vector<std::uint8_t> PackQka(const std::vector<ImaBlock>& blocks);

// Writes bytes to a file; false on failure.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A QKA recording of `seconds` of speech.
bool MakeQkaRecording(const std::string& path, double seconds);

// A QDX recording of `seconds` of speech; mode 0 is 4.75 kbit/s, 1 is
// 5.9 kbit/s; `dtx` gives SID and no-data frames in the pauses.
bool MakeQdxRecording(const std::string& path, int mode, bool dtx, double seconds);

} // namespace voicedata
