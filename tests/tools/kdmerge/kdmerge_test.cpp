// kdmerge as a program: output, messages, streams, prompt and exit statuses.
#include "hex_text.h"
#include "run_program.h"
#include "tests/lib/hex/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using hexgen::EndRecord;
using hexgen::ExtendedLinear;
using hexgen::Record;
using sdtest::ProgramRun;

namespace {

const std::string kBanner =
    "KD5200 HEX Merge program\nCopyright (c) Zentrovia. All rights reserved.\n\n";
const std::string kEnd = ":00000001FF\r\n\r\n\r\n";
const std::string kExt0 = ":020000040000FA\r\n";

class Kdmerge : public ::testing::Test {
protected:
    ProgramRun Run(const std::vector<std::string>& args, const std::string& input = "") {
        return sdtest::RunProgram(SD_BIN_DIR "/kdmerge", args, dir.Path(), input);
    }
    void Write(const std::string& name, const std::string& text) {
        hexgen::WriteText(dir / name, text);
    }
    std::string Read(const std::string& name) { return hexgen::ReadText(dir / name); }
    TempFolder dir;
};

std::string Crlf(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace

TEST_F(Kdmerge, JoinsInputsOnStandardOutput) {
    const std::string a = Record(0, 0x2000, {1, 2, 3}) + Record(0, 0x2003, {4});
    const std::string b = Record(0, 0x4000, {5, 6});
    Write("a.hex", a + EndRecord());
    Write("b.hex", b + EndRecord());
    const ProgramRun run = Run({"a.hex", "b.hex"});
    EXPECT_EQ(run.status, 0);
    // The banner goes to standard error so that the output stays pure HEX.
    EXPECT_EQ(run.out, kExt0 + Crlf(a) + kExt0 + Crlf(b) + kEnd);
    EXPECT_EQ(run.err, kBanner);
}

TEST_F(Kdmerge, WritesTheOutputFileWithProgress) {
    Write("a.hex", Record(0, 0x10, {1}) + EndRecord());
    Write("empty.hex", "");
    const ProgramRun run = Run({"/o", "out.hex", "a.hex", "-q", "empty.hex", "/Q"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(Read("out.hex"), kExt0 + Crlf(Record(0, 0x10, {1})) + kExt0 + kEnd);

    const ProgramRun loud = Run({"a.hex", "-O", "out2.hex", "empty.hex"});
    EXPECT_EQ(loud.status, 0);
    EXPECT_EQ(loud.out, kBanner + "Merging 'a.hex'...\nMerging 'empty.hex'...\n\nAll hex file was "
                                  "merged successfully.\n");
    EXPECT_EQ(loud.err, "");
    EXPECT_EQ(Read("out2.hex"), Read("out.hex"));
}

TEST_F(Kdmerge, CopiesRecordsAsTheyStand) {
    // Own extended addresses stay; lower-case headers become upper case while
    // data and checksum keep their case; other types are copied; an input
    // ends at its end record or at a line without record mark.
    std::string lower = Record(0, 0xABCD, {0xAB, 0xCD});
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Write("a.hex", ExtendedLinear(1) + lower + Record(3, 0, {0, 0, 0x20, 0}) + EndRecord() +
                       Record(0, 0, {9}));
    Write("b.hex", Record(0, 0, {7}) + "\n" + Record(0, 1, {8}));
    const ProgramRun run = Run({"a.hex", "b.hex"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kExt0 + Crlf(ExtendedLinear(1)) + ":02ABCD00abcd" + lower.substr(13, 2) +
                           "\r\n" + Crlf(Record(3, 0, {0, 0, 0x20, 0})) + kExt0 +
                           Crlf(Record(0, 0, {7})) + kEnd);
}

TEST_F(Kdmerge, EveryLineEndsInCrLf) {
    // CR LF input does not become CR CR LF; a last line without line feed
    // gets one; a long record line is copied whole.
    const std::string big = Record(0, 0x100, std::vector<uint8_t>(200, 0x5A), "");
    Write("a.hex", Record(0, 0, {1}, "\r\n") + Record(0, 1, {2}, "\r\r\n") + big);
    Write("b.hex", Record(0, 0x200, {3}));
    const ProgramRun run = Run({"a.hex", "b.hex"});
    EXPECT_EQ(run.out, kExt0 + Record(0, 0, {1}, "\r\n") + Record(0, 1, {2}, "\r\n") + big +
                           "\r\n" + kExt0 + Record(0, 0x200, {3}, "\r\n") + kEnd);
}

TEST_F(Kdmerge, AsksBeforeReplacingAnOutputFile) {
    Write("a.hex", Record(0, 0, {1}) + EndRecord());
    const std::string question = "Output file 'out.hex' already exist. Overwrite? [y/N] :";
    Write("out.hex", "old");
    // x is asked again, the Enter after it counts as N.
    ProgramRun run = Run({"-o", "out.hex", "a.hex"}, "x\n");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.out, kBanner + question + question + "User Break\n");
    EXPECT_EQ(Read("out.hex"), "old");
    // The end of input counts as N as well, instead of asking forever.
    run = Run({"-o", "out.hex", "a.hex"}, "");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.out, kBanner + question + "User Break\n");
    // Quiet: no "User Break".
    run = Run({"-o", "out.hex", "a.hex", "/q"}, "n");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.out, kBanner + question);
    EXPECT_EQ(Read("out.hex"), "old");
    run = Run({"-o", "out.hex", "a.hex", "/q"}, "Y\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner + question);
    EXPECT_EQ(Read("out.hex"), kExt0 + Crlf(Record(0, 0, {1})) + kEnd);
    // All yes: no question.
    Write("out.hex", "old");
    run = Run({"-o", "out.hex", "a.hex", "-y", "-q"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(Read("out.hex"), kExt0 + Crlf(Record(0, 0, {1})) + kEnd);
}

TEST_F(Kdmerge, FifosAreCheckedWithoutOpeningThem) {
    // Every step has a time limit: a program waiting on a FIFO fails the test.
    const std::string a = Record(0, 0x10, {1, 2}) + EndRecord();
    Write("a.hex", a);
    const std::string merged = kExt0 + Crlf(Record(0, 0x10, {1, 2})) + kEnd;
    const std::string kdmerge = "timeout 10 " + sdtest::ShellQuote(SD_BIN_DIR "/kdmerge");
    const std::string cd = "cd " + sdtest::ShellQuote(dir.Path()) + " && mkfifo f && ";
    // A FIFO as output: /y is decided before anything opens it; without /y
    // there is nothing to ask about.
    for (const char* yes : {" /y", ""}) {
        std::filesystem::remove(dir / "f");
        EXPECT_TRUE(sdtest::Shell(cd + "{ timeout 10 cat f > got.hex & } && " + kdmerge +
                                  " /o f a.hex /q" + yes +
                                  " </dev/null >/dev/null; r=$?; wait; exit $r"))
            << yes;
        EXPECT_EQ(Read("got.hex"), merged) << yes;
    }
    // A FIFO as input: the check before the merge leaves its writer to the merge.
    std::filesystem::remove(dir / "f");
    EXPECT_TRUE(sdtest::Shell(cd + "(timeout 10 cat a.hex > f &) && " + kdmerge +
                              " /o out.hex f a.hex /q >/dev/null"));
    EXPECT_EQ(Read("out.hex"), kExt0 + Crlf(Record(0, 0x10, {1, 2})) + merged);
}

TEST_F(Kdmerge, CommandLineErrors) {
    Write("a.hex", EndRecord());
    ProgramRun run = Run({"a.hex", "-x"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, kBanner + "Invalid 2th option '-x'\nUse /? or /h for help\n");
    run = Run({"/"});
    EXPECT_EQ(run.err, kBanner + "Invalid 1th option '/'\nUse /? or /h for help\n");
    run = Run({});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, kBanner + "No Input file specified\nUse /? or /h for help\n");
    // /o without a name is ignored.
    run = Run({"/o"});
    EXPECT_EQ(run.err, kBanner + "No Input file specified\nUse /? or /h for help\n");
    run = Run({"-q", "-o", "out.hex", "a.hex", "missing.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Cannot open Input file 'missing.hex'\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.hex"));
    // A folder cannot be opened as a file.
    std::filesystem::create_directory(dir / "folder.hex");
    run = Run({"-q", "-o", "out.hex", "folder.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Cannot open Input file 'folder.hex'\n");
    run = Run({"-o", "no/such/out.hex", "a.hex"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Cannot open output file 'no/such/out.hex'\n");
    // The name after /o is taken even when it looks like an option.
    run = Run({"-o", "-y", "a.hex", "/q"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "-y"));
    // Absolute names are files: "/o /tmp/all.hex /tmp/a.hex".
    const std::string all = dir / "all.hex";
    run = Run({"/o", all, dir / "a.hex", "/q"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read("all.hex"), kExt0 + kEnd);
    // An output that is also an input is refused, and the input stays.
    run = Run({"-o", "./a.hex", "a.hex", "-y"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, "Output file './a.hex' is also an Input file\n");
    EXPECT_EQ(Read("a.hex"), EndRecord());
    // At most 64 inputs.
    std::vector<std::string> inputs(64, "a.hex");
    EXPECT_EQ(Run(inputs).status, 0);
    inputs.push_back("a.hex");
    run = Run(inputs);
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.err, kBanner + "Too many Input file, You can use 64 maximum\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(Kdmerge, PrintsUsage) {
    const ProgramRun run = Run({"a.hex", "/?", "-x"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBanner +
                           "Usage:\n"
                           "  kdmerge [/o out-hex] [hex1] [hex2] [...] [hexn] [/y] [/q] [/?] [/h]\n"
                           "  \t/o out-hex : Output Hex file\n"
                           "  \thexn       : n-th Input Hex file\n"
                           "  \t/q         : Quiet\n"
                           "  \t/y         : All Yes\n"
                           "  \t/?, /h     : help\n"
                           "  '-' can be accepted also, instead of '/'\n");
    for (const char* help : {"-Help", "/help", "--help"})
        EXPECT_EQ(Run({help}).out, run.out) << help;
}

TEST_F(Kdmerge, WarnsAboutConflictsAndDamagedRecords) {
    const std::string a = Record(0, 0x2000, {1, 2, 3, 4}) + Record(0, 0x3000, {5});
    // Same data at 0x2000..0x2001 (no conflict), different at 0x2002; then
    // via a segment address (0x0200 * 16 = 0x2000) a difference at 0x3000.
    const std::string b =
        Record(0, 0x2000, {1, 2, 9}) + Record(2, 0, {0x02, 0x00}) + Record(0, 0x1000, {6});
    std::string c = Record(0, 0x5000, {1}) + Record(0, 0x5000, {2});
    c[c.size() - 2] = c[c.size() - 2] == 'A' ? 'B' : 'A';
    Write("a.hex", a);
    Write("b.hex", b);
    Write("c.hex", c);
    const ProgramRun run = Run({"-o", "out.hex", "a.hex", "b.hex", "c.hex", "-q"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "kdmerge: c.hex:2: warning: checksum mismatch (1 record in all)\n"
              "kdmerge: warning: 'a.hex' and 'b.hex' hold different data at address 0x00002002\n");
    // The output is the plain merge all the same.
    EXPECT_EQ(Read("out.hex"), kExt0 + Crlf(a) + kExt0 + Crlf(b) + kExt0 + Crlf(c) + kEnd);
    // Equal data in two inputs, or one input writing twice, is no conflict.
    Write("d.hex", Record(0, 0x2000, {7, 2}) + Record(0, 0x2000, {1}));
    EXPECT_EQ(Run({"-o", "out.hex", "a.hex", "a.hex", "d.hex", "-q", "-y"}).err, "");
}

TEST_F(Kdmerge, LongInputsKeepTheirTextAndLineNumbers) {
    // Runs of plain CR LF records longer than the read buffer, broken by
    // records that need a closer look: the text comes out as it stands, but
    // for the line end, and the warnings name the right lines.
    const std::string first = hexgen::DataRecords(0, hexgen::RandomBytes(16 * 9000, 1), 16, true,
                                                  "\r\n"); // lines 1-9003
    std::string lf = Record(0, 0x2000, {1, 2}, "\n");      // line 9004
    std::string crlf = Record(0, 0x2002, {3, 4}, "\r\n");  // line 9005
    lf[lf.size() - 2] = lf[lf.size() - 2] == 'A' ? 'B' : 'A';
    crlf[crlf.size() - 3] = crlf[crlf.size() - 3] == 'A' ? 'B' : 'A';
    const std::string second = hexgen::DataRecords(0x100000, hexgen::RandomBytes(16 * 5000, 2), 16,
                                                   true, "\r\n"); // lines 9006-14007
    std::string bad = Record(0, 0x3000, {5, 6}, "\r\n");          // line 14008
    bad[10] = 'G';
    Write("a.hex", first + lf + crlf + second + bad);
    const ProgramRun run = Run({"-o", "out.hex", "a.hex", "-q"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "kdmerge: a.hex:14008: warning: record with characters that are not hex "
                       "digits or cut short (1 record in all)\n"
                       "kdmerge: a.hex:9004: warning: checksum mismatch (2 records in all)\n");
    EXPECT_EQ(Read("out.hex"), kExt0 + first + Crlf(lf) + crlf + second + bad + kEnd);
}

TEST_F(Kdmerge, ClosesItsOutputOnceUnderValgrind) {
    // The output stream must not be touched after it is closed: glibc reads
    // freed memory then, which the sanitizers do not see but valgrind does.
    // Overlapping inputs make the conflict check reopen files afterwards.
    if (!sdtest::Shell("command -v valgrind >/dev/null 2>&1"))
        GTEST_SKIP() << "valgrind is not installed";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "valgrind cannot run a program built with AddressSanitizer";
#endif
    Write("a.hex", Record(0, 0x2000, {1, 2, 3, 4}) + EndRecord());
    Write("b.hex", Record(0, 0x2002, {9}) + EndRecord());
    const std::vector<std::string> valgrind = {"-q", "--error-exitcode=99", SD_BIN_DIR "/kdmerge"};
    auto Valgrind = [&](std::vector<std::string> args) {
        args.insert(args.begin(), valgrind.begin(), valgrind.end());
        return sdtest::RunProgram("valgrind", args, dir.Path());
    };
    ProgramRun run = Valgrind({"/o", "out.hex", "a.hex", "b.hex", "/q", "/y"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "kdmerge: warning: 'a.hex' and 'b.hex' hold different data at address 0x00002002\n");
    EXPECT_EQ(Read("out.hex"), kExt0 + Crlf(Record(0, 0x2000, {1, 2, 3, 4})) + kExt0 +
                                   Crlf(Record(0, 0x2002, {9})) + kEnd);
    // A full disk: the failed close is reported, and nothing else goes wrong.
    run = Valgrind({"/o", "/dev/full", "a.hex", "b.hex", "/q", "/y"});
    EXPECT_EQ(run.status, 255) << run.err;
    EXPECT_EQ(run.err, "Cannot write output file '/dev/full'\n");
}
