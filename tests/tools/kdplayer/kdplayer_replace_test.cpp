// put --force and --verify stopped in every way: the player holds the old
// file or the new one under its name and in its place, the message and the
// status say which, and a killed verified get leaves nothing on the PC.
#include "kdplayer_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace kdtest;

namespace {

std::string Base36(long value) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36]);
        value /= 36;
    } while (value > 0);
    return text;
}

// The id of a process that has ended.
long EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

// Waits until the virtual player lists a name holding `part`, then runs `then`.
std::string WhenListed(const std::string& part, const std::string& then) {
    return "until $SIM ls internal | grep -q -- '" + part + "'; do sleep 0.02; done; " + then;
}

class Replace : public Kdplayer {
protected:
    // a.mp3 (old), b.mp3 and c.mp3 on the player, the new a.mp3 in pc/new.
    void Fresh() {
        extra.clear();
        NewPlayer();
        Write(dir / "pc/a.mp3", oldA);
        Write(dir / "pc/b.mp3", "b");
        Write(dir / "pc/c.mp3", "c");
        ASSERT_EQ(Run({"put", "internal", "a.mp3", "b.mp3", "c.mp3"}).status, 0);
        Write(dir / "pc/new/a.mp3", newA);
    }
    // What the next command finds: the same names in the same order, nothing
    // left in the temporary folder; a.mp3's contents.
    std::string After() {
        extra.clear();
        EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 c.mp3 ");
        EXPECT_TRUE(Entries(dir / "tmp").empty());
        return OnPlayer("internal", 0);
    }
    ProgramRun Put(const std::string& options, const std::string& then) {
        extra = {"KD5200_SPEED=2000000"};
        return Script("$KDPLAYER put " + options + " internal new/a.mp3 & p=$!; " + then +
                      "; wait $p; echo status=$?");
    }

    const std::string oldA = Bytes(4 << 20, 60);
    const std::string newA = Bytes(4 << 20, 61);
};

} // namespace

TEST_F(Replace, KilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    bool sawOld = false;
    for (const char* delay : {"0.3", "1.5", "2.6", "3.4", "4.2", "5"}) {
        Fresh();
        Put("-f --verify", std::string("sleep ") + delay + "; kill -KILL $p");
        const std::string now = After();
        EXPECT_TRUE(now == oldA || now == newA) << "killed after " << delay << " s";
        sawOld = sawOld || now == oldA;
    }
    EXPECT_TRUE(sawOld);
    // Killed in the read-back: the unchecked copy goes, the old file stays.
    Fresh();
    Put("-f --verify", WhenListed("~kdc", "kill -KILL $p"));
    EXPECT_EQ(After(), oldA);
    // Whole, the new copy takes the old one's name and place.
    Fresh();
    const ProgramRun run = Put("-f --verify", "true");
    EXPECT_NE(run.out.find("status=0"), std::string::npos) << run.err;
    EXPECT_EQ(After(), newA);
}

TEST_F(Replace, UnplugAndSignalsSayWhatIsOnThePlayer) {
    // Unplugged during the copy: nothing was copied, and so it says.
    Fresh();
    ProgramRun run = Put("-f", "sleep 0.8; $SIM unplug");
    EXPECT_NE(run.out.find("status=3"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("a.mp3: not replaced; the old file is still on the player"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("nothing was copied"), std::string::npos) << run.err;
    ASSERT_EQ(Sim({"plug"}).status, 0);
    EXPECT_EQ(After(), oldA);

    // Unplugged during the read-back: the unchecked copy stays beside the
    // old file until the memory is next read.
    Fresh();
    run = Put("-f --verify", WhenListed("~kdc", "$SIM unplug"));
    EXPECT_NE(run.out.find("status=3"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("a.mp3: not replaced; the old file is still on the player (the copy "
                           "beside it is removed when the memory is next read)"),
              std::string::npos)
        << run.err;
    ASSERT_EQ(Sim({"plug"}).status, 0);
    EXPECT_EQ(After(), oldA);

    // TERM and Ctrl+C, in the copy and in the read-back.
    for (const char* signal : {"TERM", "INT"}) {
        Fresh();
        run = Put("-f --verify", std::string("sleep 0.8; kill -") + signal + " $p");
        EXPECT_NE(run.out.find("status=6"), std::string::npos) << signal << run.err;
        EXPECT_NE(run.err.find("stopped: 0 of 1 files copied"), std::string::npos) << run.err;
        EXPECT_EQ(After(), oldA);
        Fresh();
        run = Put("-f --verify", WhenListed("~kdc", std::string("kill -") + signal + " $p"));
        EXPECT_NE(run.out.find("status=6"), std::string::npos) << signal << run.err;
        EXPECT_EQ(After(), oldA);
    }

    // A new file unplugged during its read-back stays, unchecked, and is counted.
    Fresh();
    Write(dir / "pc/new/d.mp3", newA);
    extra = {"KD5200_SPEED=2000000"};
    run = Script("$KDPLAYER put --verify internal new/d.mp3 & p=$!; " +
                 WhenListed("d.mp3", "$SIM unplug") + "; wait $p; echo status=$?");
    EXPECT_NE(run.out.find("status=6"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("d.mp3: copied, but the player was lost before the copy was checked; "
                           "it stays on the player unchecked"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("stopped: 1 of 1 files copied"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("nothing was copied"), std::string::npos) << run.err;
    ASSERT_EQ(Sim({"plug"}).status, 0);
    extra.clear();
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 c.mp3 d.mp3 ");
}

TEST_F(Replace, WhatAKilledReplaceLeftIsPutRightFromThePlayerAlone) {
    const std::string ended = Base36(EndedProcess());
    const auto stored = [&](const std::string& name, const std::string& data) {
        Write(dir / "tmp/marks" / name, data);
        ASSERT_EQ(Sim({"put", "internal", (dir / "tmp/marks" / name).string()}).status, 0);
        fs::remove_all(dir / "tmp/marks");
    };
    // A copy not yet checked goes; the old file keeps its name and place.
    Fresh();
    stored("~kdc00" + ended + "~copy", newA);
    EXPECT_EQ(After(), oldA);
    // A checked copy takes the name and the place of the old file...
    Fresh();
    stored("~kdr00" + ended + "~a.mp3", newA);
    EXPECT_EQ(After(), newA);
    // ...also when the old file was already deleted.
    Fresh();
    ASSERT_EQ(Run({"rm", "internal", "a.mp3"}).status, 0);
    stored("~kdr00" + ended + "~a.mp3", newA);
    EXPECT_EQ(After(), newA);
    // The copy of a process that still runs is its own.
    Fresh();
    const std::string mine = "~kdc00" + Base36(getpid()) + "~copy";
    stored(mine, "x");
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 c.mp3 " + mine + " ");
    // On the PC, what ended writers left of their names goes at the next
    // replace; a running writer's stays, and so does everything else in the
    // temporary folder. A run that only reads leaves it all.
    const std::string endedPid = std::to_string(EndedProcess());
    const std::string livePid = std::to_string(getpid());
    Write(dir / "tmp" / ("kd5200-put-" + endedPid) / "a.mp3", "x");
    Write(dir / "tmp" / ("kd5200-put-" + livePid) / "a.mp3", "x");
    Write(dir / "tmp" / "kd5200-put-notes" / "a.mp3", "x");
    EXPECT_EQ(Run({"ls", "internal"}).status, 0);
    EXPECT_EQ(Entries(dir / "tmp").size(), 3u);
    EXPECT_EQ(Run({"put", "--force", "internal", "a.mp3"}).status, 0);
    EXPECT_EQ(Entries(dir / "tmp"), (std::vector<std::string>{"kd5200-put-" + livePid,
                                                               "kd5200-put-notes"}));
}

TEST_F(Replace, AVerifiedGetKilledInItsReadBackLeavesNothing) {
    NewPlayer();
    Write(dir / "pc/big.mp3", Bytes(4 << 20, 70));
    ASSERT_EQ(Run({"put", "internal", "big.mp3"}).status, 0);
    fs::create_directories(dir / "pc/out");
    Write(dir / "pc/out/mine.mp3", "the person's own");
    extra = {"KD5200_SPEED=2000000"};
    for (const char* delay : {"1", "3", "3.6"}) {
        const ProgramRun run =
            Script(std::string("$KDPLAYER get --verify internal big.mp3 out & p=$!; sleep ") +
                   delay + "; kill -KILL $p; wait $p; echo status=$?");
        EXPECT_NE(run.out.find("status=137"), std::string::npos) << run.out << run.err;
        EXPECT_EQ(Entries(dir / "pc/out"), std::vector<std::string>{"mine.mp3"}) << delay;
        EXPECT_TRUE(Entries(dir / "tmp").empty()) << delay;
    }
    // To standard output, too.
    Script("$KDPLAYER get --verify internal big.mp3 - >out/stdout & p=$!; sleep 3; kill -KILL $p; "
           "wait $p; rm -f out/stdout");
    EXPECT_TRUE(Entries(dir / "tmp").empty());
    extra.clear();
    ASSERT_EQ(Run({"get", "--verify", "internal", "big.mp3", "out"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/out/big.mp3"), Read(dir / "pc/big.mp3"));
}

TEST_F(Replace, AReplaceThatCannotFitBesideTheOldFileIsRefusedBeforeAnyChange) {
    // Four blocks: the old a.mp3 takes three, so a new one of three does
    // not fit beside it, though it would fit once the old one is gone.
    ASSERT_EQ(Sim({"create", "--internal", "64K"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    const std::string old = Bytes(40000, 80);
    Write(dir / "pc/a.mp3", old);
    ASSERT_EQ(Run({"put", "internal", "a.mp3"}).status, 0);
    Write(dir / "pc/new/a.mp3", Bytes(40000, 81));
    ProgramRun run = Run({"put", "-f", "internal", "new/a.mp3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the files need 3 blocks of 16384 bytes in 1 entries; 1 blocks and "
                           "511 entries are free; nothing was copied"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Names("internal"), "a.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 0), old);
    // A smaller new file fits beside it, and replaces it.
    const std::string small = Bytes(10000, 82);
    Write(dir / "pc/new/a.mp3", small);
    run = Run({"put", "-f", "internal", "new/a.mp3"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Names("internal"), "a.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 0), small);
}
