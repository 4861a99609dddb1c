// Comparing two files byte for byte, as a verified copy compares what it
// read back with its source: equal, a single flipped bit, one byte short or
// over, empty, and a file that cannot be read.
#include "base/platform/file_compare.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

bool Same(const std::string& a, const std::string& b) {
    const int first = open(a.c_str(), O_RDONLY);
    const int second = open(b.c_str(), O_RDONLY);
    const bool same = platform::SameContents(first, second);
    if (first >= 0) close(first);
    if (second >= 0) close(second);
    return same;
}

TEST(FileCompare, TellsEqualBytesFromAnyDifference) {
    testenv::ScratchDir dir;
    std::string big(3 << 20, 'a');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    std::string flipped = big;
    flipped[big.size() - 1] ^= 0x10;
    const auto write = [&](const char* name, const std::string& data) {
        std::ofstream(dir / name, std::ios::binary) << data;
        return dir / name;
    };
    const std::string original = write("big", big), copy = write("copy", big);
    EXPECT_TRUE(Same(original, copy));
    EXPECT_FALSE(Same(original, write("flipped", flipped)));
    EXPECT_FALSE(Same(original, write("shorter", big.substr(0, big.size() - 1))));
    EXPECT_FALSE(Same(original, write("longer", big + "x")));
    EXPECT_TRUE(Same(write("empty", ""), write("empty2", "")));
    EXPECT_FALSE(Same(original, dir / "missing"));
    EXPECT_FALSE(Same(original, dir.Path())); // a folder
}

} // namespace
