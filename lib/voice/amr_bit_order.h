#pragma once
// Bit order of AMR-NB speech frames in the storage format: which serial bit
// (codec parameters in allocation order, most significant bit first) each
// storage bit carries, for the two modes a voice recording uses.

#include <array>
#include <cstdint>

namespace convert {

inline constexpr int kMr475Bits = 95; // speech bits of a 4.75 kbit/s frame
inline constexpr int kMr59Bits = 118; // speech bits of a 5.9 kbit/s frame
inline constexpr int kSidBits = 35;   // comfort-noise bits of a SID frame

extern const std::array<std::uint8_t, kMr475Bits> kMr475Order;
extern const std::array<std::uint8_t, kMr59Bits> kMr59Order;

} // namespace convert
