#include "amr_storage.h"

#include "amr_bit_order.h"

namespace convert {

namespace {

inline int StreamBit(const std::uint8_t* stream, int bit) {
    return (stream[bit >> 3] >> (bit & 7)) & 1;
}

inline void SetStorageBit(std::uint8_t* data, int bit) {
    data[bit >> 3] |= static_cast<std::uint8_t>(0x80u >> (bit & 7));
}

// Gathers the serial bits order[0..bits) into storage bytes, most
// significant bit first: one store per byte and no branch per bit, since
// the bits of speech are as good as random.
void GatherBits(const std::uint8_t* stream, int firstBit, const std::uint8_t* order, int bits,
                std::uint8_t* data) {
    for (int i = 0; i < bits; i += 8) {
        const int n = bits - i < 8 ? bits - i : 8;
        unsigned v = 0;
        for (int j = 0; j < n; ++j)
            v = (v << 1) | static_cast<unsigned>(StreamBit(stream, firstBit + order[i + j]));
        data[i >> 3] = static_cast<std::uint8_t>(v << (8 - n));
    }
}

constexpr std::uint8_t Toc(int storageType) {
    return static_cast<std::uint8_t>((storageType << 3) | 0x04); // quality bit set
}

} // namespace

std::size_t StorageDataBytes(int storageType) {
    switch (storageType) {
    case kStorageMr475:
        return 12;
    case kStorageMr59:
        return 15;
    case kStorageSid:
        return 5;
    default:
        return 0;
    }
}

StorageFrame PackStorageFrame(FrameType type, bool mr59, const std::uint8_t* stream, int firstBit) {
    StorageFrame frame;
    std::uint8_t* data = frame.bytes.data() + 1;
    switch (type) {
    case FrameType::Speech: {
        const int storageType = mr59 ? kStorageMr59 : kStorageMr475;
        if (mr59)
            GatherBits(stream, firstBit, kMr59Order.data(), kMr59Bits, data);
        else
            GatherBits(stream, firstBit, kMr475Order.data(), kMr475Bits, data);
        frame.bytes[0] = Toc(storageType);
        frame.size = 1 + StorageDataBytes(storageType);
        break;
    }
    case FrameType::SidFirst:
    case FrameType::SidUpdate: {
        for (int i = 0; i < kSidBits; ++i)
            if (StreamBit(stream, firstBit + i)) SetStorageBit(data, i);
        if (type == FrameType::SidUpdate) SetStorageBit(data, kSidBits); // SID type indicator
        const int modeIndication = mr59 ? kStorageMr59 : kStorageMr475;
        for (int b = 0; b < 3; ++b) // least significant bit first
            if ((modeIndication >> b) & 1) SetStorageBit(data, kSidBits + 1 + b);
        frame.bytes[0] = Toc(kStorageSid);
        frame.size = 1 + StorageDataBytes(kStorageSid);
        break;
    }
    case FrameType::NoData:
        frame.bytes[0] = Toc(kStorageNoData);
        frame.size = 1;
        break;
    }
    return frame;
}

} // namespace convert
