// kdplayer backup and restore end to end: a tampered backup changes nothing
// and reads nothing outside it, stored names never fold two files into one,
// restore finds every problem before its first change, and an interrupted
// backup leaves the one before it whole.
#include "kdplayer_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

using kdtest::Bytes;
using kdtest::Entries;
using kdtest::Kdplayer;
using kdtest::Read;
using kdtest::Write;

namespace {

// Edits a manifest as someone covering their tracks would: the record of
// STORED gets the size and SHA-256 of the file DATA ("-": empty), a name
// field can be replaced (OLD NEW), and the end record is made to match.
const char* const kEdit = R"(
import hashlib, sys
path, stored, data = sys.argv[1], sys.argv[2], sys.argv[3]
swap = sys.argv[4:6]
lines = [l for l in open(path, 'rb').read().split(b'\n') if l and not l.startswith(b'end ')]
blob = b'' if data == '-' else open(data, 'rb').read()
out, files, total = [], 0, 0
for line in lines:
    f = line.split(b' ')
    if f[0] == b'file' and f[5] == stored.encode():
        f[3], f[4] = str(len(blob)).encode(), hashlib.sha256(blob).hexdigest().encode()
    if f[0] == b'font' and f[3] == stored.encode():
        f[1], f[2] = str(len(blob)).encode(), hashlib.sha256(blob).hexdigest().encode()
    if swap:
        f = [swap[1].encode() if x == swap[0].encode() else x for x in f]
    if f[0] == b'file':
        files, total = files + 1, total + int(f[3])
    if f[0] == b'font':
        files, total = files + 1, total + int(f[1])
    out.append(b' '.join(f))
text = b''.join(l + b'\n' for l in out)
end = b'end %d %d %s\n' % (files, total, hashlib.sha256(text).hexdigest().encode())
open(path, 'wb').write(text + end)
)";

} // namespace

class Backup : public Kdplayer {
protected:
    void Edit(const fs::path& manifest, const std::string& stored, const std::string& data,
              const std::string& from = "", const std::string& to = "") {
        std::vector<std::string> args = {"-c", kEdit, manifest.string(), stored, data};
        if (!from.empty()) args.insert(args.end(), {from, to});
        const ProgramRun run = sdtest::RunProgram("/usr/bin/python3", args, dir.string());
        ASSERT_EQ(run.status, 0) << run.err;
    }
    bool SumsCheck(const std::string& folder) {
        const ProgramRun run = Script("cd " + folder + " && sha256sum -c --quiet SHA256SUMS");
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        return run.status == 0;
    }
    std::vector<std::string> Hidden(const fs::path& folder) {
        std::vector<std::string> hidden;
        for (const std::string& name : Entries(folder))
            if (name[0] == '.') hidden.push_back(name);
        return hidden;
    }
};

TEST_F(Backup, ATamperedBackupChangesNothingAndReadsNothingOutsideIt) {
    NewPlayer();
    const std::string a = Bytes(30000, 1), b = Bytes(20000, 2);
    Write(dir / "pc/src/a.mp3", a);
    Write(dir / "pc/src/b.mp3", b);
    Write(dir / "pc/src/lcd.fot", Bytes(999, 3));
    ASSERT_EQ(Run({"put", "internal", "src/a.mp3", "src/b.mp3"}).status, 0);
    ASSERT_EQ(Run({"font", "put", "src/lcd.fot"}).status, 0);
    ProgramRun run = Run({"backup", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(SumsCheck("saved"));
    ASSERT_EQ(Run({"format", "-y", "internal"}).status, 0);
    ASSERT_EQ(Run({"font", "erase"}).status, 0);

    const fs::path t = dir / "pc/t";
    const std::string secret = (dir / "pc/secret.txt").string();
    Write(secret, "a PC file that must not reach the player");
    const std::string manifest = Read(dir / "pc/saved/MANIFEST");
    const size_t lines = static_cast<size_t>(std::count(manifest.begin(), manifest.end(), '\n'));
    auto cut = [&](size_t keep) {
        return [&, keep] {
            size_t at = 0;
            for (size_t i = 0; i < keep; ++i)
                at = manifest.find('\n', at) + 1;
            Write(t / "MANIFEST", manifest.substr(0, at));
        };
    };
    struct Case {
        std::string what;
        std::function<void()> tamper;
        std::string said;
    };
    std::vector<Case> cases = {
        {"a file linked to one outside",
         [&] {
             fs::remove(t / "internal/a.mp3");
             fs::create_symlink(secret, t / "internal/a.mp3");
             Edit(t / "MANIFEST", "a.mp3", secret);
         },
         "t/internal/a.mp3' is a link"},
        {"the font linked to a file outside",
         [&] {
             fs::remove(t / "font/lcd.fot");
             fs::create_symlink(secret, t / "font/lcd.fot");
             Edit(t / "MANIFEST", "lcd.fot", secret);
         },
         "t/font/lcd.fot' is a link"},
        {"a memory's folder a link",
         [&] {
             fs::rename(t / "internal", t / "elsewhere");
             fs::create_symlink("elsewhere", t / "internal");
         },
         "t/internal/a.mp3' is a link"},
        {"a file linked to a device",
         [&] {
             fs::remove(t / "internal/a.mp3");
             fs::create_symlink("/dev/zero", t / "internal/a.mp3");
             Edit(t / "MANIFEST", "a.mp3", "-");
         },
         "t/internal/a.mp3' is a link"},
        {"a file that is a FIFO",
         [&] {
             fs::remove(t / "internal/b.mp3");
             ASSERT_EQ(mkfifo((t / "internal/b.mp3").c_str(), 0600), 0);
             Edit(t / "MANIFEST", "b.mp3", "-");
         },
         "t/internal/b.mp3' is not a regular file"},
        {"the manifest linked to a device",
         [&] {
             fs::remove(t / "MANIFEST");
             fs::create_symlink("/dev/zero", t / "MANIFEST");
         },
         "t/MANIFEST is a link"},
        {"the manifest a FIFO",
         [&] {
             fs::remove(t / "MANIFEST");
             ASSERT_EQ(mkfifo((t / "MANIFEST").c_str(), 0600), 0);
         },
         "t/MANIFEST is not a regular file"},
        {"a lying size",
         [&] {
             Write(dir / "tmp/longer", a + "x");
             Edit(t / "MANIFEST", "a.mp3", (dir / "tmp/longer").string());
         },
         "t/internal/a.mp3' differs from the backup's manifest"},
        {"a lying sum",
         [&] {
             Write(t / "internal/b.mp3", Bytes(20000, 9));
             Write(dir / "tmp/other", Bytes(20000, 8));
             Edit(t / "MANIFEST", "b.mp3", (dir / "tmp/other").string());
         },
         "t/internal/b.mp3' differs from the backup's manifest"},
        {"a record dropped under a good end record",
         [&] {
             const size_t file = manifest.find("\nfile internal 1 ");
             Write(t / "MANIFEST",
                   manifest.substr(0, file) + manifest.substr(manifest.find('\n', file + 1)));
         },
         "the manifest's end record does not match"},
        {"a NUL in a name",
         [&] { Edit(t / "MANIFEST", "-", "-", "b.mp3", "b%00.mp3"); },
         "a name holds %00"},
        {"a manifest of the earlier version, cut",
         [&] {
             // Without an end record, and without its last file's record.
             std::string old = manifest.substr(0, manifest.find("\nfile internal 1 ") + 1);
             old[old.find('2')] = '1';
             Write(t / "MANIFEST", old);
         },
         "t/internal/b.mp3' is not in the manifest"},
    };
    for (size_t keep = 0; keep < lines; ++keep)
        cases.push_back({"the manifest cut after " + std::to_string(keep) + " lines", cut(keep),
                         keep == 0 ? "not a kdplayer backup manifest"
                                   : "the backup is incomplete"});
    for (const Case& tampered : cases) {
        fs::remove_all(t);
        fs::copy(dir / "pc/saved", t, fs::copy_options::recursive);
        tampered.tamper();
        // A FIFO or a device read would hang or never end: the time-out tells.
        run = Script("timeout 20 $KDPLAYER restore t; echo status=$?");
        EXPECT_EQ(run.out, "status=1\n") << tampered.what << "\n" << run.err;
        EXPECT_NE(run.err.find(tampered.said), std::string::npos) << tampered.what << "\n"
                                                                  << run.err;
        EXPECT_EQ(Names("internal"), "") << tampered.what;
    }
    EXPECT_NE(Sim({"status"}).out.find("font: none"), std::string::npos);

    // A whole manifest of the earlier version, without its end record, is
    // read: it names every file the backup holds.
    fs::remove_all(t);
    fs::copy(dir / "pc/saved", t, fs::copy_options::recursive);
    std::string old = manifest.substr(0, manifest.rfind("end "));
    old[old.find('2')] = '1';
    Write(t / "MANIFEST", old);
    run = Run({"restore", "t"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("written by an earlier kdplayer"), std::string::npos) << run.err;
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 ");
    ASSERT_EQ(Run({"format", "-y", "internal"}).status, 0);
    ASSERT_EQ(Run({"font", "erase"}).status, 0);

    // A manifest whose lines end in CR LF is read.
    fs::remove_all(t);
    fs::copy(dir / "pc/saved", t, fs::copy_options::recursive);
    std::string crlf;
    for (const char c : manifest)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Write(t / "MANIFEST", crlf);
    run = Run({"restore", "t"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 0), a);
    EXPECT_EQ(OnPlayer("internal", 1), b);
}

TEST_F(Backup, StoredNamesNeverFoldTwoFilesAndRestoreSaysEveryProblemFirst) {
    // A Korean desktop; one name was written on a Western PC, in CP1252,
    // and reads back as the same PC name as a real "caf%E9.mp3".
    extra = {"LANG=ko_KR.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE=", "KD5200_CODEPAGE="};
    NewPlayer();
    const std::vector<std::string> names = {"caf%E9.mp3", "2-caf%E9.mp3", "café.mp3", "노래.mp3"};
    std::vector<std::string> data;
    for (size_t i = 0; i < names.size(); ++i) {
        data.push_back(Bytes(1000 + i, static_cast<unsigned>(30 + i)));
        Write(dir / "pc/src" / names[i], data[i]);
        const std::string codePage = names[i] == "café.mp3" ? "CP1252" : "CP949";
        ASSERT_EQ(Script("KD5200_CODEPAGE=" + codePage + " $SIM put internal 'src/" + names[i] +
                         "'").status,
                  0) << names[i];
    }
    const std::string raw = Sim({"ls", "--raw", "internal"}).out;
    ProgramRun run = Run({"backup", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Four files, four stored names, each with its own data.
    const std::vector<std::string> stored = Entries(dir / "pc/saved/internal");
    ASSERT_EQ(stored.size(), names.size());
    std::vector<std::string> held;
    for (const std::string& name : stored)
        held.push_back(Read(dir / "pc/saved/internal" / name));
    std::sort(held.begin(), held.end());
    std::vector<std::string> expected = data;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(held, expected);
    EXPECT_TRUE(SumsCheck("saved"));

    // On a smaller player, under a code page without Hangul: both problems
    // at once, and nothing changed.
    ASSERT_EQ(Sim({"create", "--internal", "48K"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    extra.front() = "LANG=en_US.UTF-8";
    run = Run({"restore", "saved"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("saved/internal/노래.mp3': the player cannot take this name"),
              std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Internal Memory: the files need 4 blocks"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("nothing was restored"), std::string::npos) << run.err;
    extra.front() = "LANG=ko_KR.UTF-8";
    EXPECT_EQ(Names("internal"), "");

    // On a player with room, the same bytes, names and order come back.
    NewPlayer();
    run = Run({"restore", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Sim({"ls", "--raw", "internal"}).out, raw);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(OnPlayer("internal", static_cast<int>(i)), data[i]) << names[i];
}

TEST_F(Backup, AnInterruptedBackupLeavesTheOldOneWhole) {
    NewPlayer();
    Write(dir / "pc/big.mp3", Bytes(3000000, 60));
    Write(dir / "pc/first.mp3", "first");
    ASSERT_EQ(Run({"put", "internal", "big.mp3", "first.mp3"}).status, 0);
    ASSERT_EQ(Run({"backup", "saved"}).status, 0);
    const std::string manifest = Read(dir / "pc/saved/MANIFEST");
    Write(dir / "pc/third.mp3", "third");
    ASSERT_EQ(Run({"put", "internal", "third.mp3"}).status, 0);

    // Ctrl+C while the big file is read: the old backup as it was, nothing
    // else left.
    extra = {"KD5200_SPEED=1000000"};
    ProgramRun run = Script(
        "$KDPLAYER backup --force saved & p=$!; sleep 1; kill -INT $p; wait $p; echo status=$?");
    EXPECT_EQ(run.out, "status=6\n") << run.err;
    EXPECT_NE(run.err.find("the backup in 'saved' is as it was"), std::string::npos) << run.err;
    EXPECT_EQ(Read(dir / "pc/saved/MANIFEST"), manifest);
    EXPECT_TRUE(SumsCheck("saved"));
    EXPECT_EQ(Hidden(dir / "pc"), std::vector<std::string>{});

    // Killed: the old backup still whole; the unfinished one stays hidden
    // until the next backup removes it.
    run = Script(
        "$KDPLAYER backup --force saved & p=$!; sleep 1; kill -KILL $p; wait $p; echo status=$?");
    EXPECT_EQ(run.out, "status=137\n") << run.err;
    EXPECT_EQ(Read(dir / "pc/saved/MANIFEST"), manifest);
    EXPECT_TRUE(SumsCheck("saved"));
    EXPECT_EQ(Hidden(dir / "pc").size(), 1u);
    extra.clear();
    run = Run({"backup", "--force", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Hidden(dir / "pc"), std::vector<std::string>{});
    EXPECT_EQ(Entries(dir / "pc/saved/internal"),
              (std::vector<std::string>{"big.mp3", "first.mp3", "third.mp3"}));
    EXPECT_TRUE(SumsCheck("saved"));

    // A folder of other files is never taken for a backup, even with --force.
    Write(dir / "pc/other/keep.txt", "mine");
    run = Run({"backup", "--force", "other"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kdplayer: 'other' holds files but no backup; name a new or an empty "
                       "folder\n");
    EXPECT_EQ(Entries(dir / "pc/other"), std::vector<std::string>{"keep.txt"});
}

TEST_F(Backup, ARestoreUnpluggedInAReadBackCountsTheFileItLeft) {
    NewPlayer();
    Write(dir / "pc/big.mp3", Bytes(4 << 20, 61));
    ASSERT_EQ(Run({"put", "internal", "big.mp3"}).status, 0);
    ASSERT_EQ(Run({"backup", "saved"}).status, 0);
    ASSERT_EQ(Run({"rm", "internal", "big.mp3"}).status, 0);
    // Unplugged once the copy is listed, while it is read back: it stays on
    // the player unchecked, and the summary counts it.
    extra = {"KD5200_SPEED=2000000"};
    const ProgramRun run = Script(
        "$KDPLAYER restore saved & p=$!; until $SIM ls internal | grep -q big.mp3; do sleep "
        "0.02; done; $SIM unplug; wait $p; echo status=$?");
    EXPECT_EQ(run.out, "status=6\n") << run.err;
    EXPECT_NE(run.err.find("big.mp3: copied, but the player was lost before the copy was "
                           "checked; it stays on the player unchecked"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("stopped: 1 of 1 files restored"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("nothing was restored"), std::string::npos) << run.err;
}
