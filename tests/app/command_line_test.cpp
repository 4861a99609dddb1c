// songdock's command line on a console without a display: --help and
// --version print and succeed, anything unknown is refused with status 2,
// and no window is tried.
#include "run_program.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

sdtest::ProgramRun RunWithoutDisplay(const std::vector<std::string>& args) {
    std::vector<std::string> command{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                     SD_BIN_DIR "/songdock"};
    command.insert(command.end(), args.begin(), args.end());
    return sdtest::RunProgram("/usr/bin/env", command, std::filesystem::temp_directory_path());
}

} // namespace

TEST(SongdockCommandLine, HelpAndVersionNeedNoDisplay) {
    auto run = RunWithoutDisplay({"--help"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Usage: songdock [OPTION]...\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("--version"), std::string::npos);
    EXPECT_EQ(run.err, "");
    // Toolkit options before it are passed over, not refused.
    EXPECT_EQ(RunWithoutDisplay({"--display", ":9", "--help"}).out, run.out);

    run = RunWithoutDisplay({"--version"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("songdock (Songdock) " SONGDOCK_VERSION "\n", 0), 0u) << run.out;
}

TEST(SongdockCommandLine, UnknownOptionsAndOperandsAreRefused) {
    const struct {
        const char* arg;
        const char* message;
    } cases[] = {{"--frobnicate", "unrecognized option '--frobnicate'"},
                 {"-x", "invalid option -- 'x'"},
                 {"song.mp3", "extra operand 'song.mp3'"}};
    for (const auto& c : cases) {
        const auto run = RunWithoutDisplay({c.arg, "--help"});
        EXPECT_EQ(run.status, 2) << c.arg;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, std::string("songdock: ") + c.message +
                               "\nTry 'songdock --help' for more information.\n");
    }
}
