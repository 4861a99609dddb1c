// kdplayer sync through its command line on the virtual player: every
// problem found before the first change, the dry run's plan taken step by
// step, and a replaced file that survives a stop.
#include "tests/tools/kdplayer/kdplayer_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace kdtest;
using sdtest::ProgramRun;
namespace fs = std::filesystem;

namespace {

// A western desktop: player names in CP1252.
const std::vector<std::string> kWestern = {
    "LANG=en_US.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE=", "KD5200_CODEPAGE="};

} // namespace

TEST_F(Kdplayer, SyncRefusesEveryProblemAtOnceAndChangesNothing) {
    extra = kWestern;
    NewPlayer();
    Write(dir / "pc/was/keep.mp3", "kept");
    Write(dir / "pc/was/gone.mp3", "gone");
    ASSERT_EQ(Run({"put", "internal", "was/keep.mp3", "was/gone.mp3"}).status, 0);

    const fs::path album = dir / "pc/album";
    Write(album / "new.mp3", "new");
    Write(album / "keep.mp3", "kept, and longer now");
    std::vector<std::string> refused = {"日本.mp3", "Song.mp3", "song.mp3", "a:b.mp3"};
    for (const std::string& name : refused)
        Write(album / name, name);
    // A file that cannot be read, also by root: a write-only kernel setting.
    if (geteuid() != 0) {
        Write(album / "locked.mp3", "locked");
        chmod((album / "locked.mp3").c_str(), 0);
        refused.push_back("locked.mp3");
    } else if (fs::exists("/sys/bus/pci/rescan")) {
        fs::create_symlink("/sys/bus/pci/rescan", album / "locked.mp3");
        refused.push_back("locked.mp3");
    }
    fs::create_directories(album / "sub");
    ASSERT_EQ(mkfifo((album / "pipe").c_str(), 0600), 0);
    fs::create_symlink("nowhere.mp3", album / "dangling.mp3");

    // The dry run shows the plan, every problem and what it skips.
    const ProgramRun dry = Run({"sync", "-n", "--delete", "--json", "album", "internal"});
    EXPECT_EQ(dry.status, 1) << dry.err;
    EXPECT_TRUE(ValidJson(dry.out));
    for (const std::string& name : refused) {
        EXPECT_NE(dry.out.find("\"name\":\"" + name + "\",\"message\""), std::string::npos)
            << name << "\n"
            << dry.out;
        EXPECT_NE(dry.err.find("album/" + name + ": "), std::string::npos) << name << dry.err;
    }
    EXPECT_NE(dry.out.find("\"problem\":\"case_twin\",\"name\":\"Song.mp3\""), std::string::npos);
    EXPECT_NE(dry.err.find("U+65E5"), std::string::npos) << dry.err;
    EXPECT_NE(dry.out.find("\"actions\":[{\"action\":\"delete\",\"name\":\"gone.mp3\"},"
                           "{\"action\":\"replace\",\"name\":\"keep.mp3\"},"
                           "{\"action\":\"copy\",\"name\":\"new.mp3\"}]"),
              std::string::npos)
        << dry.out;
    EXPECT_NE(dry.out.find("\"skipped\":[{\"name\":\"dangling.mp3\",\"kind\":\"dangling link\"},"
                           "{\"name\":\"pipe\",\"kind\":\"fifo\"},"
                           "{\"name\":\"sub\",\"kind\":\"folder\"}]"),
              std::string::npos)
        << dry.out;

    // The sync itself says the same and changes nothing.
    ProgramRun run = Run({"sync", "--delete", "album", "internal"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(0, run.err.rfind("kdplayer: ")),
              dry.err.substr(0, dry.err.rfind("kdplayer: ")));
    EXPECT_NE(run.err.find("nothing was changed"), std::string::npos) << run.err;
    EXPECT_EQ(Names("internal"), "keep.mp3 gone.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 0), "kept");

    // Without them it goes through, and a second run has nothing to do.
    for (const std::string& name : refused)
        if (name != "song.mp3") fs::remove(album / name);
    run = Run({"sync", "--delete", "album", "internal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("album/sub: skipped, a folder"), std::string::npos) << run.err;
    EXPECT_EQ(Names("internal"), "keep.mp3 new.mp3 song.mp3 ");
    EXPECT_NE(Run({"sync", "--delete", "album", "internal"})
                  .out.find("0 copied, 0 deleted, 0 moved, 3 unchanged"),
              std::string::npos);

    // A replacement needs room for the new copy while the old one stays.
    ASSERT_EQ(Sim({"create", "--internal", "160K"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    const std::string old = Bytes(6 * 16384, 1);
    Write(dir / "pc/room/big.mp3", old);
    ASSERT_EQ(Run({"put", "internal", "room/big.mp3"}).status, 0);
    Write(dir / "pc/room/big.mp3", Bytes(5 * 16384 + 1, 2));
    run = Run({"sync", "room", "internal", "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"problem\":\"room\""), std::string::npos) << run.out;
    EXPECT_TRUE(OnPlayer("internal", 0) == old); // not printed: megabytes
}

TEST_F(Kdplayer, SyncTakesTheStepsItsDryRunShows) {
    extra = kWestern;
    NewPlayer();
    for (const char* name : {"z.mp3", "c.mp3", "Track.mp3", "x.mp3", "a.mp3"})
        Write(dir / "pc/was" / name, std::string("old ") + name);
    ASSERT_EQ(Run({"put", "internal", "was/z.mp3", "was/c.mp3", "was/Track.mp3", "was/x.mp3",
                   "was/a.mp3"})
                  .status,
              0);
    Write(dir / "pc/album/a.mp3", "old a.mp3");
    Write(dir / "pc/album/track.mp3", "old Track.mp3"); // the same file to the player
    Write(dir / "pc/album/b.mp3", "new b");
    Write(dir / "pc/album/c.mp3", "a new and longer c");
    Write(dir / "pc/album/d.mp3", "new d");

    const ProgramRun dry = Run({"sync", "-n", "--delete", "--json", "album", "internal"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(Names("internal"), "z.mp3 c.mp3 Track.mp3 x.mp3 a.mp3 ");
    const ProgramRun run = Run({"sync", "--delete", "--json", "album", "internal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dry.out.substr(0, 15), "{\"dry_run\":true");
    EXPECT_EQ(dry.out.substr(15), run.out.substr(16)) << dry.out << run.out;
    for (const char* kind : {"delete", "replace", "copy", "move"})
        EXPECT_NE(run.out.find(std::string("\"action\":\"") + kind + "\""), std::string::npos)
            << run.out;
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 c.mp3 d.mp3 Track.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 2), "a new and longer c");
    EXPECT_EQ(Run({"sync", "--delete", "--json", "album", "internal"}).out,
              "{\"dry_run\":false,\"actions\":[],\"unchanged\":5}\n");
}

TEST_F(Kdplayer, SyncStoppedInAReplacementLeavesTheOldFile) {
    NewPlayer();
    const std::string old = Bytes(3 << 20, 40);
    Write(dir / "pc/big.mp3", old);
    Write(dir / "pc/next.mp3", "next");
    ASSERT_EQ(Run({"put", "internal", "big.mp3", "next.mp3"}).status, 0);
    Write(dir / "pc/album/big.mp3", Bytes((3 << 20) + 1, 41));
    Write(dir / "pc/album/next.mp3", "next");

    extra = {"KD5200_SPEED=1000000"};
    const ProgramRun run = Script("$KDPLAYER sync album internal & p=$!; sleep 1; kill -INT $p; "
                                  "wait $p; echo status=$?");
    EXPECT_NE(run.out.find("status=6"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("stopped: 0 of 1 steps done"), std::string::npos) << run.err;
    extra.clear();
    EXPECT_EQ(Names("internal"), "big.mp3 next.mp3 ");
    EXPECT_TRUE(OnPlayer("internal", 0) == old); // not printed: megabytes
}
