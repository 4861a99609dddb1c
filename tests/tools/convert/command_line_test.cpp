// The two programs as a user runs them: banner, usage, messages, progress
// lines, exit statuses.
#include "test_files.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"
#include "lib/voice/voice_convert.h"
#include "voice_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testfiles::Bytes;
namespace fs = std::filesystem;

struct Program {
    const char* name;
    const char* banner;
    const char* usage;
    const char* lead; // before each message on standard error
};

const Program kQdx{"qdx2wav",
                   "Zentrovia Voice Recorder conversion program\nCopyright (C) Zentrovia\n",
                   "Usage :\n\t qdx2wav [<qdx file> <wav file>]\n", "\n"};
const Program kQka{"qka2wav", "Zentrovia ADPCM file conversion program\nCopyright (C) Zentrovia\n",
                   "Usage :\n\t qka2wav [<qka file> <wav file>]\n", ""};

void PrintTo(const Program& p, std::ostream* os) {
    *os << p.name;
}

class CommandLine : public ::testing::TestWithParam<Program> {
protected:
    sdtest::ProgramRun Run(const std::vector<std::string>& args) {
        return sdtest::RunProgram(std::string(SD_BIN_DIR "/") + GetParam().name, args, dir_.Path());
    }

    // A small valid input of the program's kind.
    std::string ValidInput() {
        const std::string path = dir_ / "in";
        if (GetParam().name == std::string("qdx2wav"))
            testfiles::WriteBytes(path, {0, 1, 0xFF, 0xFB, 0, 0, 0, 0, 0, 3, 3});
        else
            testfiles::WriteBytes(path, voicedata::PackQka(std::vector<voicedata::ImaBlock>(2)));
        return path;
    }

    std::string Message(const char* format, const std::string& path) {
        char text[512];
        std::snprintf(text, sizeof text, format, path.c_str());
        return GetParam().lead + std::string(text) + "\n";
    }

    TempFolder dir_;
};

TEST_P(CommandLine, UsageWithFewerThanTwoArguments) {
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{dir_ / "only"}}) {
        const auto run = Run(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, std::string(GetParam().banner) + GetParam().usage);
        EXPECT_EQ(run.err, "");
    }
    EXPECT_FALSE(fs::exists(dir_ / "only"));
}

TEST_P(CommandLine, SuccessIsStatusOneAndExtraArgumentsAreIgnored) {
    const std::string in = ValidInput();
    const auto run = Run({in, dir_ / "out.wav", dir_ / "extra", "-x"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "");
    const long size = static_cast<long>(fs::file_size(in));
    const std::string last = std::to_string(size) + " / " + std::to_string(size) + " (100 %)\r";
    ASSERT_GE(run.out.size(), last.size());
    EXPECT_EQ(run.out.substr(0, std::string(GetParam().banner).size()), GetParam().banner);
    EXPECT_EQ(run.out.substr(run.out.size() - last.size()), last)
        << "ends with the last progress line, no line feed";
    EXPECT_FALSE(fs::exists(dir_ / "extra"));
}

TEST_P(CommandLine, FailedRunChangesNoOutput) {
    // A mistyped input must neither create the output nor empty an existing
    // WAV of that name; the message and status are those of any failed open.
    auto run = Run({dir_ / "missing", dir_ / "new.wav"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot open '%s'", dir_ / "missing"));
    EXPECT_FALSE(fs::exists(dir_ / "new.wav"));

    const Bytes wav(5000, 7);
    testfiles::WriteBytes(dir_ / "old.wav", wav);
    run = Run({dir_ / "missing", dir_ / "old.wav"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot open '%s'", dir_ / "missing"));
    EXPECT_EQ(testfiles::ReadBytes(dir_ / "old.wav"), wav);

    // Nor does a conversion that fails on the way: an input that cannot be
    // read (a folder) or, for qdx2wav, one that is no recording. Nothing
    // else is left in the folder.
    testfiles::WriteBytes(dir_ / "junk.bin", Bytes(300, 0x55));
    std::vector<std::string> failing = {dir_.Path()};
    if (GetParam().name == std::string("qdx2wav")) failing.push_back(dir_ / "junk.bin");
    const auto names = [&] {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir_.Path()))
            found.insert(entry.path().filename().string());
        return found;
    };
    const std::set<std::string> before = names();
    for (const std::string& in : failing) {
        run = Run({in, dir_ / "old.wav"});
        EXPECT_EQ(run.status, 0) << in;
        EXPECT_EQ(testfiles::ReadBytes(dir_ / "old.wav"), wav) << in;
        run = Run({in, dir_ / "new.wav"});
        EXPECT_EQ(names(), before) << in;
    }
}

TEST_P(CommandLine, BothUnusableInputReportedFirst) {
    const std::string out = dir_ / "no/such/folder/out.wav";
    auto run = Run({dir_ / "missing", out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot open '%s'", dir_ / "missing") +
                           Message("cannot open '%s' or already exist", out));

    run = Run({ValidInput(), out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot open '%s' or already exist", out));
}

TEST_P(CommandLine, EmptyInputShowsZeroPercent) {
    testfiles::WriteBytes(dir_ / "empty", {});
    const auto run = Run({dir_ / "empty", dir_ / "out.wav"});
    if (GetParam().name == std::string("qka2wav")) {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, std::string(GetParam().banner) + "0 / 0 (0 %)\r");
        EXPECT_EQ(fs::file_size(dir_ / "out.wav"), 72u);
    } else {
        EXPECT_EQ(run.status, 0) << "no QDX header";
        EXPECT_EQ(run.err, "") << "a rejected input prints no message";
        EXPECT_FALSE(fs::exists(dir_ / "out.wav"));
    }
}

TEST_P(CommandLine, ExistingOutputIsOverwrittenKeepingItsMode) {
    // As with cp: the mode stays, and a read-only file is refused.
    testfiles::WriteBytes(dir_ / "out.wav", Bytes(100000, 1));
    ASSERT_EQ(chmod((dir_ / "out.wav").c_str(), 0600), 0);
    auto run = Run({ValidInput(), dir_ / "out.wav"});
    EXPECT_EQ(run.status, 1);
    EXPECT_LT(fs::file_size(dir_ / "out.wav"), 100000u);
    struct stat st {};
    ASSERT_EQ(stat((dir_ / "out.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    testfiles::WriteBytes(dir_ / "read-only.wav", Bytes(100, 2));
    ASSERT_EQ(chmod((dir_ / "read-only.wav").c_str(), 0444), 0);
    run = Run({ValidInput(), dir_ / "read-only.wav"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot open '%s' or already exist", dir_ / "read-only.wav"));
    EXPECT_EQ(testfiles::ReadBytes(dir_ / "read-only.wav"), Bytes(100, 2));
}

TEST_P(CommandLine, RefusesToWriteOverItsInput) {
    // By its own name, another spelling, a symbolic link or a hard link: the
    // recording must survive, and the run must not count as a success.
    const std::string in = ValidInput();
    const Bytes original = testfiles::ReadBytes(in);
    fs::create_symlink(in, dir_ / "symlink");
    fs::create_hard_link(in, dir_ / "hardlink");
    for (const std::string& out : {in, dir_ / "./in", dir_ / "symlink", dir_ / "hardlink"}) {
        const auto run = Run({in, out});
        EXPECT_EQ(run.status, 0) << out;
        EXPECT_EQ(run.err, Message("cannot write '%s'", out));
        EXPECT_EQ(testfiles::ReadBytes(in), original) << out;
    }
    // The library the virtual player converts with refuses it too.
    const auto convert =
        GetParam().name == std::string("qdx2wav") ? convert::QdxFileToWav : convert::QkaFileToWav;
    EXPECT_EQ(convert(in.c_str(), (dir_ / "symlink").c_str(), nullptr, nullptr), -1);
    EXPECT_EQ(testfiles::ReadBytes(in), original);
}

TEST_P(CommandLine, ReadAndWriteErrorsAreReported) {
    // A folder opens for reading but cannot be read.
    auto run = Run({dir_.Path(), dir_ / "out.wav"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot read '%s'", dir_.Path()));
    if (fs::exists("/dev/full")) {
        run = Run({ValidInput(), "/dev/full"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, Message("cannot write '%s'", "/dev/full"));
    }
    // A reader that goes away at once; the output is larger than a pipe holds.
    const std::string fifo = dir_ / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string in = dir_ / "big";
    if (GetParam().name == std::string("qdx2wav")) {
        voicedata::QdxLayout layout;
        testfiles::WriteBytes(
            in, voicedata::PackQdx(
                    std::vector<voicedata::AmrFrame>(1000, voicedata::AmrFrame{0x7C}), layout));
    } else {
        testfiles::WriteBytes(in, voicedata::PackQka(std::vector<voicedata::ImaBlock>(1000)));
    }
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        if (fd >= 0) ::close(fd);
    });
    run = Run({in, fifo});
    reader.join();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, Message("cannot write '%s'", fifo));
}

INSTANTIATE_TEST_SUITE_P(Converters, CommandLine, ::testing::Values(kQdx, kQka),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
