// kdrom on the virtual player: the image the player stores is the
// conversion of the HEX file, for application and boot code.
#include "lib/hex/hex_to_image.h"

#include "hex_text.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using sdtest::ProgramRun;

namespace {

class KdromPlayer : public ::testing::Test {
protected:
    KdromPlayer() {
        std::filesystem::create_directories(dir / "tmp");
        // Code below 0x2000 (left out of application code), a gap, and a
        // part above 64 KiB.
        hexgen::WriteText(dir / "fw.hex",
                          hexgen::DataRecords(0x1F00, hexgen::RandomBytes(0x300, 5)) +
                              hexgen::DataRecords(0x4000, hexgen::RandomBytes(100, 6)) +
                              hexgen::HexFile(0x1FFF8, hexgen::RandomBytes(40, 7)));
    }
    std::vector<std::string> Environment() {
        return {"KD5200_PLAYER_DIR=" + (dir / "player"), "TMPDIR=" + (dir / "tmp"),
                "LD_LIBRARY_PATH=" SD_BIN_DIR};
    }
    ProgramRun Kdrom(const std::vector<std::string>& args) {
        return sdtest::RunProgram(SD_BIN_DIR "/kdrom", args, dir.Path(), "", Environment());
    }
    ProgramRun Sim(const std::vector<std::string>& args) {
        return sdtest::RunProgram(SD_BIN_DIR "/kd5200sim", args, dir.Path(), "", Environment());
    }
    std::string Converted(uint32_t base) {
        EXPECT_TRUE(ConvertHexToImage(dir / "fw.hex", dir / "expected.bin", base));
        return hexgen::ReadText(dir / "expected.bin");
    }
    bool TempIsEmpty() { return std::filesystem::is_empty(dir / "tmp"); }

    TempFolder dir;
};

} // namespace

TEST_F(KdromPlayer, StoresTheConvertedImage) {
    ASSERT_EQ(Sim({"create"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);

    ProgramRun run = Kdrom({"fw.hex"});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Sim({"firmware", "application", "stored.bin"}).status, 0);
    const std::string application = Converted(kApplicationCodeBase);
    EXPECT_EQ(application.size(), 0x1FFF8u + 40 - 0x2000);
    EXPECT_EQ(hexgen::ReadText(dir / "stored.bin"), application);

    run = Kdrom({"-b", "fw.hex"});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Sim({"firmware", "boot", "stored.bin"}).status, 0);
    EXPECT_EQ(hexgen::ReadText(dir / "stored.bin"), Converted(kBootCodeBase));
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(KdromPlayer, FailuresOnThePlayer) {
    ASSERT_EQ(Sim({"create"}).status, 0);
    // Not plugged in: the program stops before making a temporary file.
    ProgramRun run = Kdrom({"fw.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Cannot open KD5200 USB device\n");
    EXPECT_TRUE(TempIsEmpty());

    // An empty image is refused before the player is written.
    ASSERT_EQ(Sim({"plug"}).status, 0);
    hexgen::WriteText(dir / "empty.hex", "");
    run = Kdrom({"empty.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_NE(run.err.find("empty.hex: the firmware image is empty (0 bytes)"), std::string::npos)
        << run.err;
    EXPECT_NE(Sim({"status"}).out.find("application image: none"), std::string::npos);
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(KdromPlayer, TheHexFilesPathCrossesInThePlayersCodePage) {
    ASSERT_EQ(Sim({"create"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    std::filesystem::create_directories(dir / "펌웨어");
    std::filesystem::create_directories(dir / "🎵");
    std::filesystem::copy_file(dir / "fw.hex", dir / "펌웨어/fw.hex");
    std::filesystem::copy_file(dir / "fw.hex", dir / "🎵/fw.hex");
    std::vector<std::string> korean = Environment();
    korean.push_back("KD5200_CODEPAGE=CP949");
    const auto status = [&] {
        return sdtest::RunProgram(SD_BIN_DIR "/kd5200sim", {"status"}, dir.Path(), "", korean).out;
    };
    const auto kdrom = [&](const std::string& file) {
        return sdtest::RunProgram(SD_BIN_DIR "/kdrom", {file}, dir.Path(), "", korean);
    };

    // The player records the path in CP949, and reads it back so.
    ProgramRun run = kdrom("펌웨어/fw.hex");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(status().find("from 펌웨어/fw.hex\n"), std::string::npos) << status();

    // A path CP949 cannot write is refused, naming the character, before
    // anything is made or written.
    run = kdrom("🎵/fw.hex");
    EXPECT_EQ(run.status, 255);
    EXPECT_NE(run.err.find("\"🎵\" (U+1F3B5)"), std::string::npos) << run.err;
    EXPECT_NE(status().find("from 펌웨어/fw.hex\n"), std::string::npos) << status();
    EXPECT_TRUE(TempIsEmpty());
}
