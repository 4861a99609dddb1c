#include "voice_data.h"

#include "lib/voice/amr_bit_order.h"

#include <opencore-amrnb/interf_enc.h>

#include <memory>
#include <stdexcept>

namespace voicedata {

namespace {

struct EncoderDeleter {
    void operator()(void* state) const { Encoder_Interface_exit(state); }
};

int StorageBit(const AmrFrame& frame, int bit) {
    return (frame[1 + bit / 8] >> (7 - bit % 8)) & 1;
}

// Sets bit `bit` of a stream read least significant bit first.
void SetStreamBit(std::vector<std::uint8_t>& bytes, int bit) {
    bytes[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
}

} // namespace

std::vector<AmrFrame> EncodeAmr(const std::vector<std::int16_t>& pcm, bool mr59, bool dtx) {
    std::unique_ptr<void, EncoderDeleter> encoder(Encoder_Interface_init(dtx ? 1 : 0));
    if (!encoder) throw std::runtime_error("AMR encoder cannot be set up");
    std::vector<AmrFrame> frames;
    unsigned char out[64];
    for (std::size_t at = 0; at + 160 <= pcm.size(); at += 160) {
        const int n =
            Encoder_Interface_Encode(encoder.get(), mr59 ? MR59 : MR475, pcm.data() + at, out, 0);
        frames.emplace_back(out, out + n);
    }
    return frames;
}

std::vector<std::uint8_t> AmrFile(const std::vector<AmrFrame>& frames) {
    std::vector<std::uint8_t> file{'#', '!', 'A', 'M', 'R', '\n'};
    for (const AmrFrame& f : frames)
        file.insert(file.end(), f.begin(), f.end());
    return file;
}

BitOrders ConverterBitOrders() {
    return {convert::kMr475Order.data(), convert::kMr59Order.data()};
}

std::vector<std::uint8_t> QdxFrame(const AmrFrame& frame, const QdxLayout& layout,
                                   const BitOrders& orders) {
    if (frame.empty()) throw std::invalid_argument("empty AMR frame");
    const int storageType = (frame[0] >> 3) & 15;
    const int first = layout.typed ? 2 : 0;
    std::vector<std::uint8_t> bytes;

    if (storageType == 0 || storageType == 2) {
        const bool mr59 = storageType == 2;
        if (mr59 != layout.mr59) throw std::invalid_argument("AMR frame of the other mode");
        const int bits = mr59 ? 118 : 95;
        const std::uint8_t* order = mr59 ? orders.mr59 : orders.mr475;
        bytes.assign(1 + (layout.typed ? (mr59 ? 14 : 12) : (mr59 ? 14 : 11)), 0);
        for (int i = 0; i < bits; ++i)
            if (StorageBit(frame, i)) SetStreamBit(bytes, first + order[i]);
        return bytes; // type bits 0: speech
    }
    if (!layout.typed) throw std::invalid_argument("SID or no-data frame without type bits");
    if (storageType == 8) {
        bytes.assign(6, 0);
        for (int i = 0; i < 39; ++i) // 35 comfort-noise bits, then type indicator and mode
            if (StorageBit(frame, i)) SetStreamBit(bytes, first + i);
        bytes[0] |= StorageBit(frame, 35) ? 2 : 1;
        return bytes;
    }
    if (storageType == 15) return {3};
    throw std::invalid_argument("AMR frame type not used by the recorder");
}

std::vector<std::uint8_t> PackQdx(const std::vector<AmrFrame>& frames, const QdxLayout& layout,
                                  const BitOrders& orders) {
    std::vector<std::uint8_t> file{static_cast<std::uint8_t>(layout.mr59 ? 1 : 0),
                                   static_cast<std::uint8_t>(layout.typed ? 1 : 0)};
    int group = 0;
    for (std::size_t i = 0; i <= frames.size(); ++i) {
        if (i % static_cast<std::size_t>(layout.groupFrames) ==
            0) { // also after the last full group
            const std::uint8_t g = static_cast<std::uint8_t>(group++);
            file.insert(file.end(), {0xFF, 0xFB, g, 0x5A, 0xA5, 0x00, 0x7F});
        }
        if (i < frames.size()) {
            const std::vector<std::uint8_t> f = QdxFrame(frames[i], layout, orders);
            file.insert(file.end(), f.begin(), f.end());
        }
    }
    return file;
}

} // namespace voicedata
