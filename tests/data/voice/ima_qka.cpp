#include "voice_data.h"

#include <algorithm>
#include <cstdlib>

namespace voicedata {

namespace {

constexpr int kStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

constexpr std::size_t kSamplesPerBlock = 505;

// IMA ADPCM encoder state: predicted sample and step index.
struct ImaState {
    int predicted = 0;
    int index = 0;

    int Encode(int sample) {
        const int step = kStepTable[index];
        int diff = sample - predicted;
        int code = 0;
        if (diff < 0) {
            code = 8;
            diff = -diff;
        }
        int delta = step >> 3;
        if (diff >= step) {
            code |= 4;
            diff -= step;
            delta += step;
        }
        if (diff >= step >> 1) {
            code |= 2;
            diff -= step >> 1;
            delta += step >> 1;
        }
        if (diff >= step >> 2) {
            code |= 1;
            delta += step >> 2;
        }
        predicted = std::clamp(code & 8 ? predicted - delta : predicted + delta, -32768, 32767);
        index = std::clamp(index + kIndexTable[code], 0, 88);
        return code;
    }
};

} // namespace

std::vector<ImaBlock> ImaEncode(const std::vector<std::int16_t>& pcm) {
    std::vector<ImaBlock> blocks;
    ImaState state;
    for (std::size_t at = 0; at < pcm.size(); at += kSamplesPerBlock) {
        auto sample = [&](std::size_t i) { return at + i < pcm.size() ? pcm[at + i] : 0; };
        ImaBlock block{};
        // Header: first sample, step index, reserved byte.
        state.predicted = sample(0);
        block[0] = static_cast<std::uint8_t>(state.predicted & 0xFF);
        block[1] = static_cast<std::uint8_t>((state.predicted >> 8) & 0xFF);
        block[2] = static_cast<std::uint8_t>(state.index);
        block[3] = 0;
        // 504 samples, two per byte, low nibble first.
        for (std::size_t i = 1; i < kSamplesPerBlock; i += 2) {
            const int lo = state.Encode(sample(i));
            const int hi = state.Encode(sample(i + 1));
            block[4 + (i - 1) / 2] = static_cast<std::uint8_t>(lo | (hi << 4));
        }
        blocks.push_back(block);
    }
    return blocks;
}

std::vector<std::uint8_t> QkaBlock(const ImaBlock& block, std::uint8_t fourth) {
    std::vector<std::uint8_t> bytes(4 + block.size());
    bytes[0] = bytes[1] = bytes[2] = 0x7F;
    bytes[3] = fourth;
    std::copy(block.begin(), block.end(), bytes.begin() + 4);
    return bytes;
}

std::vector<std::uint8_t> PackQka(const std::vector<ImaBlock>& blocks) {
    std::vector<std::uint8_t> file;
    file.reserve(blocks.size() * 260);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::vector<std::uint8_t> b = QkaBlock(blocks[i], static_cast<std::uint8_t>(i));
        file.insert(file.end(), b.begin(), b.end());
    }
    return file;
}

} // namespace voicedata
