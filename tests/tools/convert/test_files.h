#pragma once
// Helpers of the converter tests: whole-file reads and writes, whether
// sox is there, and the WAV fields the tests look at.

#include <cstdint>
#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);

// Whether sox can be run.
bool HaveSox();

std::uint32_t Le32(const Bytes& b, std::size_t at);
std::uint16_t Le16(const Bytes& b, std::size_t at);

// 16-bit samples of a byte range, little-endian.
std::vector<std::int16_t> Samples(const Bytes& b, std::size_t from);

} // namespace testfiles
