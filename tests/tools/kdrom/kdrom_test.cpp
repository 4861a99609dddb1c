// kdrom as a program over the scripted fake device library: command line,
// prompt, the calls into the library and their order, error paths.
#include "hex_text.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using hexgen::EndRecord;
using hexgen::ExtendedLinear;
using hexgen::Record;
using sdtest::ProgramRun;

namespace {

const std::string kBanner =
    "KD5200 Codec writing program\nCopyright (c) Zentrovia. All rights reserved.\n\n";
const std::string kPrompt = "Input HEX file to write (Press Ctrl+C to abort) :";

class Kdrom : public ::testing::Test {
protected:
    Kdrom() {
        std::filesystem::create_directories(dir / "tmp");
        hexgen::WriteText(dir / "fw.hex", Record(0, 0x2000, {1, 2, 3}) + EndRecord());
    }
    ProgramRun Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::filesystem::remove(dir / "log");
        return sdtest::RunProgram(
            SD_BIN_DIR "/kdrom", args, dir.Path(), input,
            {"LD_LIBRARY_PATH=" SD_FAKE_DIR, "FAKE_KD5200_LOG=" + (dir / "log"),
             "FAKE_KD5200_SCRIPT=" + (dir / "script"), "TMPDIR=" + (dir / "tmp")});
    }
    void Script(const std::string& lines) { hexgen::WriteText(dir / "script", lines); }
    // The recorded calls, with the temporary image's name made fixed.
    std::string Log() {
        const std::string log = hexgen::ReadText(dir / "log");
        std::string image(1, '"');
        image += dir / "tmp";
        image += "/\\$520[A-Za-z0-9]{6}\"";
        return std::regex_replace(log, std::regex(image), "\"$$TMP\"");
    }
    bool TempIsEmpty() { return std::filesystem::is_empty(dir / "tmp"); }

    TempFolder dir;
};

} // namespace

TEST_F(Kdrom, WritesApplicationCode) {
    const ProgramRun run = Run({"fw.hex"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Log(), "KD5200_Open(ptr)\n"
                     "KD5200_SetTimeout(30000, 30000)\n"
                     "KD5200_UpgradeFirmware(null, h, 0, 0, \"$TMP\", \"fw.hex\")\n"
                     "KD5200_Close(h)\n"
                     "KD5200_Free(h)\n");
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(Kdrom, OptionsInAnyOrderAndCase) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"-B", "fw.hex", "/m"}, {"/boot", "-M", "fw.hex"}, {"fw.hex", "/b", "-mds"}}) {
        const ProgramRun run = Run(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(Log().find("KD5200_UpgradeFirmware(null, h, 1, 2, \"$TMP\", \"fw.hex\")\n"),
                  std::string::npos)
            << Log();
    }
    // A name that begins with "/" and holds another "/" is a file, not an option.
    const std::string absolute = dir / "fw.hex";
    const ProgramRun run = Run({absolute, "/B"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Log().find("KD5200_UpgradeFirmware(null, h, 1, 0, \"$TMP\", \"" + absolute + "\")"),
              std::string::npos)
        << Log();
}

TEST_F(Kdrom, FailedWriteShowsTheLibrarysError) {
    Script("KD5200_UpgradeFirmware 0 29 5\n");
    const ProgramRun run = Run({"fw.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(Log(), "KD5200_Open(ptr)\n"
                     "KD5200_SetTimeout(30000, 30000)\n"
                     "KD5200_UpgradeFirmware(null, h, 0, 0, \"$TMP\", \"fw.hex\")\n"
                     "KD5200_DispError(null, 29, 5)\n"
                     "KD5200_Close(h)\n"
                     "KD5200_Free(h)\n");
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(Kdrom, StopsBeforeTheDeviceOnBadInput) {
    ProgramRun run = Run({"missing.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Cannot open HEXA file 'missing.hex'\n");
    EXPECT_EQ(Log(), "");
    std::filesystem::create_directory(dir / "folder.hex");
    run = Run({"folder.hex"});
    EXPECT_EQ(run.err, "Cannot open HEXA file 'folder.hex'\n");
    run = Run({"-x", "fw.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Invalid 1th option '-x'\nUse /? or /h for help\n");
    run = Run({"fw.hex", "b.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Invalid 2th option 'b.hex'\n");
    EXPECT_EQ(Log(), "");
}

// Failures after the player is opened close it again and leave no
// temporary file. (Without a player kdrom stops before it makes one:
// KdromPlayer.FailuresOnThePlayer.)
TEST_F(Kdrom, FailuresBeforeTheWriteCloseThePlayer) {
    // An extended address of 0xFFFF would make a 4 GiB image; data 16 MiB
    // above the application base is one byte too many for the player.
    hexgen::WriteText(dir / "bad.hex", ExtendedLinear(0xFFFF) + Record(0, 0, {1}) + EndRecord());
    hexgen::WriteText(dir / "big.hex",
                      ExtendedLinear(0x0100) + Record(0, 0x2000, {1}) + EndRecord());
    const struct {
        const char* file;
        std::string err;
    } cases[] = {
        {"bad.hex",
         "Cannot convert HEX file 'bad.hex'\n  (the image would be larger than 64 MiB)\n"},
        {"big.hex", "The image of HEX file 'big.hex' is 16777217 bytes, larger than the player's "
                    "code memory of 16777216 bytes (16 MiB)\n"},
        {"fw.hex", "Cannot create a temporary file in '" + (dir / "tmp") + "'\n"},
    };
    for (const auto& c : cases) {
        if (c.file == std::string("fw.hex")) std::filesystem::remove(dir / "tmp");
        const ProgramRun run = Run({c.file});
        EXPECT_EQ(run.status, 255) << c.file;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(Log(), "KD5200_Open(ptr)\nKD5200_Close(h)\nKD5200_Free(h)\n") << c.file;
        EXPECT_TRUE(!std::filesystem::exists(dir / "tmp") || TempIsEmpty()) << c.file;
    }
}

// What the rules leave out of the image is written as they give it, but
// told first: one warning per kind, naming the file and the first line.
TEST_F(Kdrom, WarnsAboutWhatTheImageLeavesOutAndRefusesAnEmptyOne) {
    std::string bad = Record(0, 0x2002, {3});
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    hexgen::WriteText(dir / "bad.hex", Record(0, 0x1FFF, {1, 2}) + bad + bad + "\r\n" +
                                           Record(0, 0x2003, {4}) + EndRecord());
    ProgramRun run = Run({"bad.hex"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "bad.hex: line 4: reading stops at an empty line; 2 records after it are not "
              "written\n"
              "bad.hex: line 2: checksum mismatch (2 records in all); written as read\n"
              "bad.hex: line 1: data below the base address 0x2000 is not written (1 record in "
              "all)\n");
    EXPECT_NE(Log().find("KD5200_UpgradeFirmware("), std::string::npos);

    hexgen::WriteText(dir / "cut.hex", Record(0, 0x2000, {1}) + "# note\n" + EndRecord());
    run = Run({"cut.hex"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "cut.hex: line 2: reading stops at a line that is not a record; 1 record "
                       "after it is not written\n");

    // A text file is not Intel HEX; its empty image is never sent to the player.
    hexgen::WriteText(dir / "notes.hex", "Release notes\n\nNothing to see.\n");
    run = Run({"notes.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "notes.hex: line 1: not an Intel HEX record, and no record follows: the "
                       "firmware image is empty (0 bytes); nothing was written\n");
    EXPECT_EQ(Log(), "KD5200_Open(ptr)\nKD5200_Close(h)\nKD5200_Free(h)\n");
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(Kdrom, AsksForTheFileName) {
    ProgramRun run = Run({"/b"}, "fw.hex\r\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner + kPrompt);
    EXPECT_NE(Log().find("\"fw.hex\")"), std::string::npos);
    run = Run({}, "\n");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Cannot open HEXA file ''\n");
    run = Run({}, "");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.out, kBanner + kPrompt);
    EXPECT_EQ(run.err, "Hex file was not specified\n");
    EXPECT_EQ(Log(), "");
}

TEST_F(Kdrom, PrintsUsage) {
    const ProgramRun run = Run({"/?", "missing.hex"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner +
                           "Usage:\n"
                           "  kdrom [hex-file] [/b] [/m] [/?] [/h]\n"
                           "  \thex-file : Intel Hex file to write\n"
                           "  \t/b       : Write BOOT code\n"
                           "  \t/m       : Using MDS(QE-271). Can be used only in CODEC running\n"
                           "  \t/?, /h   : help\n"
                           "  '-' can be accepted also, instead of '/'\n");
    EXPECT_EQ(Log(), "");
    for (const char* help : {"-H", "/help", "--help"})
        EXPECT_EQ(Run({help}).out, run.out) << help;
}
