#pragma once
// Re-packing of a voice recorder frame into one AMR-NB frame of the storage
// format (a table-of-contents byte, then the bits in importance order), the
// form the speech decoder takes.

#include <array>
#include <cstddef>
#include <cstdint>

namespace convert {

// Frame type carried in the two type bits of a recorder frame.
enum class FrameType : std::uint8_t { Speech = 0, SidFirst = 1, SidUpdate = 2, NoData = 3 };

// One frame in the storage format; bytes[0] is the table-of-contents byte.
struct StorageFrame {
    std::array<std::uint8_t, 16> bytes{};
    std::size_t size = 0;
};

// Storage frame types (the table-of-contents frame type field).
inline constexpr int kStorageMr475 = 0;
inline constexpr int kStorageMr59 = 2;
inline constexpr int kStorageSid = 8;
inline constexpr int kStorageNoData = 15;

// Number of data bytes after the table-of-contents byte for a storage frame type.
std::size_t StorageDataBytes(int storageType);

// Builds the storage frame of a recorder frame. `stream` holds the frame's
// bits least significant bit first within each byte; its serial bits start
// at bit `firstBit`. `mr59` selects 5.9 kbit/s, else 4.75 kbit/s. SID frames
// carry the SID type indicator and the mode indication; the four bits after
// their 35 comfort-noise bits are not used.
StorageFrame PackStorageFrame(FrameType type, bool mr59, const std::uint8_t* stream, int firstBit);

} // namespace convert
