#pragma once
// The two WAV layouts the converters write: 16-bit PCM (qdx2wav) and IMA
// ADPCM with its fact and empty INFO list after the data (qka2wav).

#include <array>
#include <cstddef>
#include <cstdint>

namespace convert {

inline constexpr std::size_t kPcmHeaderSize = 44;
inline constexpr std::size_t kPcmFrameBytes = 320; // 160 samples of 16 bits
inline constexpr std::size_t kImaHeaderSize = 48;
inline constexpr std::size_t kImaTrailerSize = 24;
inline constexpr std::size_t kImaBlockSize = 256;
inline constexpr std::uint32_t kImaSamplesPerBlock = 505;
inline constexpr std::size_t kImaDataSizeOffset = 44; // data size field of the IMA header

// Largest output the 32-bit RIFF size field can describe.
inline constexpr std::uint64_t kMaxWavLength = 0xFFFFFFFFull + 8;

// Stores v little-endian at p.
void PutLe32(std::uint8_t* p, std::uint32_t v);

// The PCM header of a file of `length` bytes in all (RIFF size length - 8,
// data size length - 44); `length` is at most kMaxWavLength.
std::array<std::uint8_t, kPcmHeaderSize> PcmHeader(std::uint64_t length);

// The IMA ADPCM header for `blocks` blocks of data.
std::array<std::uint8_t, kImaHeaderSize> ImaHeader(std::uint32_t blocks);

// The fact chunk and empty INFO list that follow `blocks` blocks of data.
std::array<std::uint8_t, kImaTrailerSize> ImaTrailer(std::uint32_t blocks);

} // namespace convert
