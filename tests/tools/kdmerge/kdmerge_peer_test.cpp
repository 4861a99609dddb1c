// kdmerge against srec_cat: for inputs that do not overlap, srec_cat must
// read the merged file as the same memory contents as the inputs.
#include "hex_text.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"

#include <gtest/gtest.h>

TEST(KdmergePeer, SrecCatReadsTheSameMemory) {
    TempFolder dir;
    // Inputs in several styles: application code with extended addresses,
    // a part above 64 KiB, lower-case digits, LF and CR LF line ends.
    std::string lower = hexgen::HexFile(0x40000, hexgen::RandomBytes(3000, 3), 32);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    hexgen::WriteText(dir / "app.hex",
                      hexgen::HexFile(0x2000, hexgen::RandomBytes(5000, 1), 16, "\r\n"));
    hexgen::WriteText(dir / "high.hex",
                      hexgen::HexFile(0x1FFF0, hexgen::RandomBytes(70000, 2), 255));
    hexgen::WriteText(dir / "lower.hex", lower);
    hexgen::WriteText(dir / "plain.hex",
                      hexgen::DataRecords(0x100, hexgen::RandomBytes(64, 4), 8, false));
    const std::vector<std::string> inputs = {"app.hex", "high.hex", "lower.hex", "plain.hex"};

    std::vector<std::string> args = {"-o", "merged.hex"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    const auto merge = sdtest::RunProgram(SD_BIN_DIR "/kdmerge", args, dir.Path());
    ASSERT_EQ(merge.status, 0) << merge.err;
    EXPECT_EQ(merge.err, "");

    std::vector<std::string> peerArgs;
    for (const std::string& in : inputs)
        peerArgs.insert(peerArgs.end(), {in, "-intel"});
    peerArgs.insert(peerArgs.end(), {"-o", "expected.hex", "-intel", "-obs=16"});
    auto run = sdtest::RunProgram("srec_cat", peerArgs, dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    run = sdtest::RunProgram(
        "srec_cat", {"merged.hex", "-intel", "-o", "actual.hex", "-intel", "-obs=16"}, dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    // srec_cat may remark that the merged records are not in ascending
    // order; that is how a merge looks. It must not find damage.
    EXPECT_EQ(run.err.find("checksum"), std::string::npos) << run.err;
    const std::string expected = hexgen::ReadText(dir / "expected.hex");
    EXPECT_GT(expected.size(), 100000u);
    EXPECT_EQ(hexgen::ReadText(dir / "actual.hex"), expected);
}
