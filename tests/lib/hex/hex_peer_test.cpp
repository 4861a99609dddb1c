// The converter against objcopy: with base 0, the image from the lowest
// address on must equal objcopy's binary output.
#include "lib/hex/hex_to_image.h"

#include "hex_text.h"
#include "run_program.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

struct Segment {
    uint32_t address;
    std::size_t size;
};

// Builds a file of the segments with records in shuffled order, lines of
// perLine bytes and mixed-case digits.
std::string Build(const std::vector<Segment>& segments, unsigned perLine, uint32_t seed) {
    std::vector<std::string> records;
    for (const Segment& s : segments) {
        const auto bytes = hexgen::RandomBytes(s.size, seed++);
        for (std::size_t i = 0; i < s.size; i += perLine) {
            const std::size_t n = std::min<std::size_t>(perLine, s.size - i);
            const uint32_t a = s.address + static_cast<uint32_t>(i);
            records.push_back(
                hexgen::ExtendedLinear(static_cast<uint16_t>(a >> 16)) +
                hexgen::Record(0, static_cast<uint16_t>(a),
                               std::vector<uint8_t>(bytes.begin() + i, bytes.begin() + i + n)));
        }
    }
    std::mt19937 rng(seed);
    std::shuffle(records.begin(), records.end(), rng);
    std::string text;
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::string r = records[i];
        if (i % 3 == 0)
            for (char& c : r)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        text += r;
    }
    return text + hexgen::EndRecord();
}

} // namespace

TEST(HexPeer, SameBytesAsObjcopy) {
    TempFolder dir;
    const std::vector<std::vector<Segment>> cases = {
        {{0x2000, 4096}},
        {{0x0000, 100}, {0x2000, 1000}, {0x1FFF0, 64}, {0x30000, 333}},
        {{0x12345, 70000}},
    };
    unsigned perLine = 16;
    for (std::size_t c = 0; c < cases.size(); ++c, perLine = perLine * 2 + 1) {
        SCOPED_TRACE("case " + std::to_string(c));
        ASSERT_TRUE(hexgen::WriteText(dir / "in.hex", Build(cases[c], perLine, 7 + c)));
        ASSERT_TRUE(ConvertHexToImage(dir / "in.hex", dir / "ours.bin", 0));
        const auto run = sdtest::RunProgram(
            "objcopy", {"-I", "ihex", "-O", "binary", "in.hex", "peer.bin"}, dir.Path());
        ASSERT_EQ(run.status, 0) << run.err;
        uint32_t lowest = UINT32_MAX;
        for (const Segment& s : cases[c])
            lowest = std::min(lowest, s.address);
        const std::string ours = hexgen::ReadText(dir / "ours.bin");
        const std::string peer = hexgen::ReadText(dir / "peer.bin");
        ASSERT_GE(ours.size(), lowest);
        EXPECT_EQ(ours.substr(lowest), peer);
        EXPECT_EQ(ours.substr(0, lowest), std::string(lowest, '\0'));
    }
}
