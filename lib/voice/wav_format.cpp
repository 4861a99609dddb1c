#include "wav_format.h"

#include <cstring>

namespace convert {

namespace {

void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutTag(std::uint8_t* p, const char* tag) {
    std::memcpy(p, tag, 4);
}

} // namespace

void PutLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::array<std::uint8_t, kPcmHeaderSize> PcmHeader(std::uint64_t length) {
    std::array<std::uint8_t, kPcmHeaderSize> h{};
    PutTag(&h[0], "RIFF");
    PutLe32(&h[4], static_cast<std::uint32_t>(length - 8));
    PutTag(&h[8], "WAVE");
    PutTag(&h[12], "fmt ");
    PutLe32(&h[16], 16);
    PutLe16(&h[20], 1); // PCM
    PutLe16(&h[22], 1); // mono
    PutLe32(&h[24], 8000);
    PutLe32(&h[28], 16000);
    PutLe16(&h[32], 2);
    PutLe16(&h[34], 16);
    PutTag(&h[36], "data");
    PutLe32(&h[40], static_cast<std::uint32_t>(length - kPcmHeaderSize));
    return h;
}

std::array<std::uint8_t, kImaHeaderSize> ImaHeader(std::uint32_t blocks) {
    const std::uint32_t data = blocks * static_cast<std::uint32_t>(kImaBlockSize);
    std::array<std::uint8_t, kImaHeaderSize> h{};
    PutTag(&h[0], "RIFF");
    PutLe32(&h[4], 64 + data);
    PutTag(&h[8], "WAVE");
    PutTag(&h[12], "fmt ");
    PutLe32(&h[16], 20);
    PutLe16(&h[20], 0x0011); // IMA ADPCM
    PutLe16(&h[22], 1);      // mono
    PutLe32(&h[24], 8000);
    PutLe32(&h[28], 4000); // fixed value, as the player's software writes it
    PutLe16(&h[32], static_cast<std::uint16_t>(kImaBlockSize));
    PutLe16(&h[34], 4);
    PutLe16(&h[36], 2);
    PutLe16(&h[38], static_cast<std::uint16_t>(kImaSamplesPerBlock));
    PutTag(&h[40], "data");
    PutLe32(&h[44], data);
    return h;
}

std::array<std::uint8_t, kImaTrailerSize> ImaTrailer(std::uint32_t blocks) {
    std::array<std::uint8_t, kImaTrailerSize> t{};
    PutTag(&t[0], "fact");
    PutLe32(&t[4], 4);
    PutLe32(&t[8], blocks * kImaSamplesPerBlock);
    PutTag(&t[12], "LIST");
    PutLe32(&t[16], 4);
    PutTag(&t[20], "INFO");
    return t;
}

} // namespace convert
