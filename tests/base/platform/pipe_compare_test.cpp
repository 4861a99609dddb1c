// Comparing what a writer puts into a pipe with a file, as a verified copy
// reads a file back: the verdict, and no hang when the writer gives up.
#include "base/platform/pipe_compare.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Writes data into the pipe as one writer would; "nothing" opens nothing.
bool Check(const std::string& file, const std::string* data) {
    platform::PipeCompare compare(file);
    if (compare.Path().empty()) return false;
    if (data) {
        const int fd = open(compare.Path().c_str(), O_WRONLY);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, data->data(), data->size()), static_cast<ssize_t>(data->size()));
        close(fd);
    }
    return compare.Same();
}

TEST(PipeCompare, TellsEqualBytesFromAnyDifference) {
    testenv::ScratchDir dir;
    std::string big(3 << 20, 'a');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    std::ofstream(dir / "big", std::ios::binary) << big;
    std::ofstream(dir / "empty", std::ios::binary).flush();

    EXPECT_TRUE(Check(dir / "big", &big));
    const std::string empty;
    EXPECT_TRUE(Check(dir / "empty", &empty));

    std::string flipped = big;
    flipped[(2 << 20) + 5] ^= 0x10;
    EXPECT_FALSE(Check(dir / "big", &flipped));
    const std::string shorter = big.substr(0, big.size() - 1);
    EXPECT_FALSE(Check(dir / "big", &shorter));
    const std::string longer = big + "x";
    EXPECT_FALSE(Check(dir / "big", &longer)); // drained to the end, no blocked writer
    EXPECT_FALSE(Check(dir / "missing", &empty));
    // A writer that fails before it opens the pipe: an answer, not a hang.
    EXPECT_FALSE(Check(dir / "big", nullptr));
    EXPECT_TRUE(Check(dir / "empty", nullptr));
}

} // namespace
