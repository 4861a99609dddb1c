// kdplayer through its command line on the virtual player: every command,
// its JSON against the schema, backups, sync, stops and checks.
#include "tests/tools/kdplayer/kdplayer_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace kdtest;
using sdtest::ProgramRun;
namespace fs = std::filesystem;

TEST_F(Kdplayer, EveryFileCommand) {
    NewPlayer();
    const std::string a = Bytes(40000, 1), b = Bytes(70000, 2), c = Bytes(5, 3);
    Write(dir / "pc/Alpha song.mp3", a);
    Write(dir / "pc/b.mp3", b);
    Write(dir / "pc/c.txt", c);

    ProgramRun run = Run({"put", "internal", "Alpha song.mp3", "b.mp3", "c.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Names("internal"), "Alpha song.mp3 b.mp3 c.txt ");
    run = Run({"ls", "internal"});
    EXPECT_NE(run.out.find("  0  ALPHAS~1.MP3      40000  Alpha song.mp3\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  1  B.MP3             70000  b.mp3\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("70000"), std::string::npos) << run.out;

    // By name and by number, into a folder; by name into a file; to standard output.
    fs::create_directories(dir / "pc/back");
    run = Run({"get", "internal", "Alpha song.mp3", "1", "back"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(dir / "pc/back/Alpha song.mp3"), a);
    EXPECT_EQ(Read(dir / "pc/back/b.mp3"), b);
    run = Run({"get", "0", "c.txt", "-o", "single.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(dir / "pc/single.txt"), c);
    run = Run({"get", "internal", "2", "-"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c);

    // A file there is kept without --force; with it, replaced whole keeping its mode.
    Write(dir / "pc/single.txt", "old");
    chmod((dir / "pc/single.txt").c_str(), 0640);
    run = Run({"get", "internal", "b.mp3", "-o", "single.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("exists; --force replaces it"), std::string::npos) << run.err;
    EXPECT_EQ(Read(dir / "pc/single.txt"), "old");
    run = Run({"get", "--force", "internal", "b.mp3", "--output=single.txt", "--verify"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(dir / "pc/single.txt"), b);
    EXPECT_EQ(fs::status(dir / "pc/single.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Putting a name the memory holds needs --force, and keeps its place.
    Write(dir / "pc/b.mp3", "new b");
    EXPECT_EQ(Run({"put", "internal", "b.mp3"}).status, 1);
    run = Run({"put", "-f", "internal", "b.mp3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Names("internal"), "Alpha song.mp3 b.mp3 c.txt ");
    EXPECT_EQ(OnPlayer("internal", 1), "new b");

    // Rename, reorder, delete.
    ASSERT_EQ(Run({"mv", "internal", "c.txt", "Notes.txt"}).status, 0);
    EXPECT_EQ(Run({"mv", "internal", "Notes.txt", "b.mp3"}).status, 1);
    ASSERT_EQ(Run({"up", "internal", "Notes.txt"}).status, 0);
    EXPECT_EQ(Names("internal"), "Alpha song.mp3 Notes.txt b.mp3 ");
    ASSERT_EQ(Run({"down", "internal", "0"}).status, 0);
    EXPECT_EQ(Names("internal"), "Notes.txt Alpha song.mp3 b.mp3 ");
    EXPECT_EQ(Run({"down", "internal", "2"}).status, 1);
    ASSERT_EQ(Run({"rm", "internal", "0", "B.MP3"}).status, 0);
    EXPECT_EQ(Names("internal"), "Alpha song.mp3 ");

    // The font and raw blocks.
    Write(dir / "pc/small.fot", Bytes(3000, 4));
    ASSERT_EQ(Run({"font", "put", "small.fot", "--verify"}).status, 0);
    EXPECT_EQ(Run({"font", "put", "small.fot"}).status, 1);
    run = Run({"info"});
    EXPECT_NE(run.out.find("Font: small.fot, 3000 bytes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Internal Memory: "), std::string::npos) << run.out;
    ASSERT_EQ(Run({"font", "get", "back"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/back/small.fot"), Read(dir / "pc/small.fot"));
    ASSERT_EQ(Run({"font", "erase"}).status, 0);
    EXPECT_EQ(Run({"font", "get", "back"}).status, 4);
    run = Run({"raw", "internal", "0", "2", "blocks.dat"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::file_size(dir / "pc/blocks.dat"), 2u * 16384);

    // Format asks on a terminal only; without one it needs --yes.
    run = Run({"format", "internal"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--yes"), std::string::npos);
    EXPECT_EQ(Names("internal"), "Alpha song.mp3 ");
    ASSERT_EQ(Run({"format", "--yes", "internal"}).status, 0);
    ASSERT_EQ(Run({"format", "--yes", "--low", "external"}).status, 0);
    EXPECT_EQ(Names("internal"), "");
    EXPECT_TRUE(Entries(dir / "tmp").empty());
}

TEST_F(Kdplayer, ConvertTurnsRecordingsIntoWav) {
    ASSERT_EQ(Sim({"create", "--demo"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    ProgramRun run = Run({"get", "--convert", "--verify", "internal", "REC01.QKA", "4", "."});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* wav : {"REC01.WAV", "VOICE001.WAV"}) {
        const std::string data = Read(dir / "pc" / wav);
        EXPECT_EQ(data.substr(0, 4), "RIFF") << wav;
        EXPECT_EQ(data.substr(8, 4), "WAVE") << wav;
    }
    // Without --convert the recording comes as the player holds it.
    run = Run({"get", "internal", "REC01.QKA", "."});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(dir / "pc/REC01.QKA"), OnPlayer("internal", 3));
}

TEST_F(Kdplayer, JsonFollowsTheSchema) {
    ASSERT_EQ(Sim({"create", "--external", "none"}).status, 0);
    // Not connected: the same shape, and status 3.
    ProgramRun run = Run({"info", "--json"});
    EXPECT_EQ(run.status, 3);
    ValidJson(run.out);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    // A name that is not UTF-8 still gives valid JSON.
    Write(dir / "pc/caf\xe9.mp3", "yy");
    Write(dir / "pc/music/01.mp3", "one");
    ASSERT_EQ(Run({"put", "internal", "caf\xe9.mp3"}).status, 0);
    ASSERT_EQ(Run({"font", "put", "caf\xe9.mp3"}).status, 0);
    run = Run({"info", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ValidJson(run.out));
    EXPECT_NE(run.out.find("\"present\":false"), std::string::npos) << run.out;
    run = Run({"ls", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ValidJson(run.out));
    EXPECT_NE(run.out.find("caf\xc3\xa9.mp3"), std::string::npos) << run.out; // shown as text
    run = Run({"sync", "--json", "--dry-run", "music", "internal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ValidJson(run.out));
}

TEST_F(Kdplayer, BackupFormatRestoreGivesTheSameFilesInTheSameOrder) {
    NewPlayer();
    std::vector<std::string> names = {"zeta.mp3", "Alpha long name.mp3", "m.wav"};
    std::vector<std::string> data;
    for (size_t i = 0; i < names.size(); ++i) {
        data.push_back(Bytes(20000 + 17000 * i, static_cast<unsigned>(10 + i)));
        Write(dir / "pc/src" / names[i], data[i]);
        ASSERT_EQ(Run({"put", "internal", "src/" + names[i]}).status, 0);
    }
    Write(dir / "pc/src/ext.bin", Bytes(100, 20));
    ASSERT_EQ(Run({"put", "external", "src/ext.bin"}).status, 0);
    Write(dir / "pc/src/lcd.fot", Bytes(999, 21));
    ASSERT_EQ(Run({"font", "put", "src/lcd.fot"}).status, 0);
    const std::string internal = Names("internal"), external = Names("external");

    ProgramRun run = Run({"backup", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir / "pc/saved/MANIFEST"));
    EXPECT_EQ(Run({"backup", "saved"}).status, 1); // kept without --force
    // A restore onto files is refused; a damaged backup is refused whole.
    EXPECT_EQ(Run({"restore", "saved"}).status, 1);
    ASSERT_EQ(Run({"format", "-y", "internal"}).status, 0);
    ASSERT_EQ(Run({"format", "-y", "external"}).status, 0);
    ASSERT_EQ(Run({"font", "erase"}).status, 0);
    const std::string good = Read(dir / "pc/saved/internal/m.wav");
    Write(dir / "pc/saved/internal/m.wav", good.substr(0, good.size() - 1) + "!");
    run = Run({"restore", "saved"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("differs from the backup's manifest"), std::string::npos) << run.err;
    EXPECT_EQ(Names("internal"), "");
    Write(dir / "pc/saved/internal/m.wav", good);

    run = Run({"restore", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Names("internal"), internal);
    EXPECT_EQ(Names("external"), external);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(OnPlayer("internal", static_cast<int>(i)), data[i]) << names[i];
    EXPECT_EQ(OnPlayer("external", 0), Read(dir / "pc/src/ext.bin"));
    fs::create_directories(dir / "pc/font");
    ASSERT_EQ(Run({"font", "get", "font"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/font/lcd.fot"), Read(dir / "pc/src/lcd.fot"));
}

TEST_F(Kdplayer, PlayerNamesComeToThePcInItsTextAndNoneIsLost) {
    // A Korean desktop; two names were written on a Russian PC, in CP1251.
    extra = {"LANG=ko_KR.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE=", "KD5200_CODEPAGE="};
    NewPlayer();
    Write(dir / "pc/src/노래.mp3", "song");
    Write(dir / "pc/src/ж.mp3", "zh");
    Write(dir / "pc/src/з.mp3", "ze");
    ASSERT_EQ(Run({"put", "internal", "src/노래.mp3"}).status, 0);
    for (const char* name : {"ж.mp3", "з.mp3"})
        ASSERT_EQ(Script(std::string("KD5200_CODEPAGE=CP1251 $SIM put internal src/") + name)
                      .status,
                  0);

    fs::create_directories(dir / "pc/got");
    ProgramRun run = Run({"get", "internal", "0", "1", "2", "got"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Entries(dir / "pc/got"), (std::vector<std::string>{"%E6.mp3", "%E7.mp3", "노래.mp3"}));
    EXPECT_EQ(Read(dir / "pc/got/노래.mp3"), "song");
    EXPECT_EQ(Read(dir / "pc/got/%E6.mp3"), "zh");
    EXPECT_EQ(Read(dir / "pc/got/%E7.mp3"), "ze");
    // Said in the desktop's language.
    EXPECT_NE(run.err.find("'%E6.mp3' 이름으로 저장했습니다"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("이름은 하나도 잃지 않습니다"), std::string::npos) << run.err;

    // A backup stores them under the same PC names, and a restore gives the
    // player back its own bytes of each name.
    run = Run({"backup", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(dir / "pc/saved/internal/%E7.mp3"), "ze");
    EXPECT_EQ(Read(dir / "pc/saved/internal/노래.mp3"), "song");
    ASSERT_EQ(Run({"format", "-y", "internal"}).status, 0);
    run = Run({"restore", "saved"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string raw = Sim({"ls", "--raw", "internal"}).out;
    EXPECT_NE(raw.find("\t\xB3\xEB\xB7\xA1.mp3\t"), std::string::npos) << raw;
    EXPECT_NE(raw.find("\t\xE6.mp3\t"), std::string::npos) << raw;
    EXPECT_NE(raw.find("\t\xE7.mp3\t"), std::string::npos) << raw;
    EXPECT_EQ(OnPlayer("internal", 1), "zh");

    // A font whose name CP949 cannot hold is refused, naming the character.
    Write(dir / "pc/src/🎵.fot", Bytes(999, 3));
    run = Run({"font", "put", "src/🎵.fot"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("\"🎵\"(U+1F3B5)"), std::string::npos) << run.err;
    EXPECT_NE(Sim({"status"}).out.find("font: none"), std::string::npos);

    // Names are shown, typed and compared as text: listed, renamed, fetched
    // and synced by the names a person reads.
    EXPECT_EQ(Names("internal"), "노래.mp3 \xEF\xBF\xBD.mp3 \xEF\xBF\xBD.mp3 ");
    EXPECT_NE(Run({"ls", "internal"}).out.find("노래.mp3"), std::string::npos);
    run = Run({"mv", "internal", "노래.mp3", "새 노래.mp3"});
    ASSERT_EQ(run.status, 0) << run.err;
    fs::create_directories(dir / "pc/named");
    ASSERT_EQ(Run({"get", "internal", "새 노래.mp3", "named"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/named/새 노래.mp3"), "song");
    Write(dir / "pc/named/둘.mp3", "two");
    run = Run({"sync", "named", "internal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("복사 1개"), std::string::npos) << run.out;
    EXPECT_NE(
        Run({"sync", "named", "internal"}).out.find("복사 0개, 삭제 0개, 이동 0개, 변경 없음 2개"),
        std::string::npos);
    ASSERT_EQ(Run({"rm", "internal", "둘.mp3"}).status, 0);
    EXPECT_EQ(Names("internal"), "새 노래.mp3 \xEF\xBF\xBD.mp3 \xEF\xBF\xBD.mp3 ");
}

TEST_F(Kdplayer, SyncCopiesWhatDiffersAndNothingTheSecondTime) {
    NewPlayer();
    for (const char* name : {"c.mp3", "a.mp3", "b.mp3", "d.mp3"})
        Write(dir / "pc/album" / name, Bytes(30000, static_cast<unsigned>(name[0])));
    Write(dir / "pc/extra.mp3", "extra");
    Write(dir / "pc/b.mp3", "an older b");
    ASSERT_EQ(Run({"put", "internal", "extra.mp3", "b.mp3"}).status, 0);

    ProgramRun run = Run({"sync", "--dry-run", "album", "internal", "--delete"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("delete extra.mp3"), std::string::npos) << run.out;
    EXPECT_EQ(Names("internal"), "extra.mp3 b.mp3 ");

    // A dry run lists exactly what the sync then does, moves included,
    // and changes nothing.
    const ProgramRun dry = Run({"sync", "--dry-run", "album", "internal", "--json"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(Names("internal"), "extra.mp3 b.mp3 ");
    run = Run({"sync", "album", "internal", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dry.out.substr(0, 15), "{\"dry_run\":true");
    EXPECT_EQ(dry.out.substr(15), run.out.substr(16)) << dry.out << run.out;
    EXPECT_NE(run.out.find("\"action\":\"move\""), std::string::npos) << run.out;
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 c.mp3 d.mp3 extra.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 1), Read(dir / "pc/album/b.mp3"));
    run = Run({"sync", "album", "internal", "--delete", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"dry_run\":false,\"actions\":[{\"action\":\"delete\",\"name\":"
                       "\"extra.mp3\"}],\"unchanged\":4}\n");
    // The second time nothing is copied, also when contents are compared.
    run = Run({"sync", "album", "internal", "--delete", "--checksum", "--json"});
    EXPECT_EQ(run.out, "{\"dry_run\":false,\"actions\":[],\"unchanged\":4}\n") << run.err;
    // Same size, other contents: only --checksum sees it.
    std::string changed = Read(dir / "pc/album/d.mp3");
    changed[100] ^= 1;
    Write(dir / "pc/album/d.mp3", changed);
    EXPECT_EQ(Run({"sync", "album", "internal", "--json"}).out,
              "{\"dry_run\":false,\"actions\":[],\"unchanged\":4}\n");
    run = Run({"sync", "album", "internal", "-c", "--json"});
    EXPECT_EQ(run.out, "{\"dry_run\":false,\"actions\":[{\"action\":\"replace\",\"name\":"
                       "\"d.mp3\"}],\"unchanged\":3}\n");
    EXPECT_EQ(OnPlayer("internal", 3), changed);
    EXPECT_EQ(Names("internal"), "a.mp3 b.mp3 c.mp3 d.mp3 ");
}

TEST_F(Kdplayer, InterruptAndUnplugLeaveNothingPartial) {
    NewPlayer();
    const std::string big = Bytes(3 << 20, 30);
    Write(dir / "pc/big.mp3", big);
    Write(dir / "pc/first.mp3", "first");
    ASSERT_EQ(Run({"put", "internal", "big.mp3"}).status, 0);
    fs::create_directories(dir / "pc/out");
    Write(dir / "pc/out/big.mp3", "the old copy");
    extra = {"KD5200_SPEED=1000000"};

    // Ctrl+C in the middle of a get: the old file stays as it was.
    ProgramRun run = Script("$KDPLAYER get -f internal big.mp3 out & p=$!; sleep 1; kill -INT $p; "
                            "wait $p; echo status=$?");
    EXPECT_NE(run.out.find("status=6"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("stopped: 0 of 1 files copied"), std::string::npos) << run.err;
    EXPECT_EQ(Entries(dir / "pc/out"), std::vector<std::string>{"big.mp3"});
    EXPECT_EQ(Read(dir / "pc/out/big.mp3"), "the old copy");

    // Ctrl+C in the middle of a put: the first file stays, the second is not there.
    run = Script("$KDPLAYER put internal first.mp3 big.mp3 -f & p=$!; sleep 1; kill -INT $p; "
                 "wait $p; echo status=$?");
    EXPECT_NE(run.out.find("status=6"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("stopped: 1 of 2 files copied"), std::string::npos) << run.err;
    extra.clear();
    EXPECT_EQ(Names("internal"), "big.mp3 first.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 0), big);

    // Ctrl+C in the middle of a backup: no backup, and nothing left beside it.
    ASSERT_EQ(Run({"up", "internal", "first.mp3"}).status, 0);
    extra = {"KD5200_SPEED=1000000"};
    run = Script("$KDPLAYER backup saved & p=$!; sleep 1; kill -INT $p; wait $p; echo status=$?");
    EXPECT_NE(run.out.find("status=6"), std::string::npos) << run.out << run.err;
    EXPECT_NE(run.err.find("stopped: 1 of 2 files saved"), std::string::npos) << run.err;
    extra.clear();
    EXPECT_FALSE(fs::exists(dir / "pc/saved"));
    EXPECT_EQ(Entries(dir / "pc"), (std::vector<std::string>{"big.mp3", "first.mp3", "out"}));
    ASSERT_EQ(Run({"down", "internal", "first.mp3"}).status, 0);

    // The player pulled out in the middle of a get and of a put.
    extra = {"KD5200_SPEED=1000000"};
    run = Script("$KDPLAYER get internal big.mp3 -o out/new.mp3 & p=$!; sleep 1; $SIM unplug; "
                 "wait $p; echo status=$?");
    EXPECT_NE(run.out.find("status=3"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(Entries(dir / "pc/out"), std::vector<std::string>{"big.mp3"});
    ASSERT_EQ(Sim({"plug"}).status, 0);
    Write(dir / "pc/other.mp3", big);
    run = Script("$KDPLAYER put internal other.mp3 & p=$!; sleep 1; $SIM unplug; wait $p; "
                 "echo status=$?");
    EXPECT_NE(run.out.find("status=3"), std::string::npos) << run.out << run.err;
    ASSERT_EQ(Sim({"plug"}).status, 0);
    extra.clear();
    EXPECT_EQ(Names("internal"), "big.mp3 first.mp3 ");
    EXPECT_TRUE(Entries(dir / "tmp").empty());
}

TEST_F(Kdplayer, VerifyCatchesAFlippedBit) {
    NewPlayer();
    Write(dir / "pc/song.mp3", Bytes(100000, 40));
    // A bit flipped on the way to the player: the bad copy is removed.
    extra = {"KD5200_FAULTS=flip:1"};
    ProgramRun run = Run({"put", "--verify", "internal", "song.mp3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("differs"), std::string::npos) << run.err;
    extra.clear();
    EXPECT_EQ(Names("internal"), "");
    ASSERT_EQ(Run({"put", "internal", "song.mp3"}).status, 0);
    // A bit flipped on the way to the PC: no file is left there.
    extra = {"KD5200_FAULTS=flip:1"};
    run = Run({"get", "--verify", "internal", "song.mp3", "-o", "copy.mp3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(dir / "pc/copy.mp3"));
    // Unchecked, the same fault goes through unnoticed.
    run = Run({"get", "internal", "song.mp3", "-o", "copy.mp3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(Read(dir / "pc/copy.mp3"), Read(dir / "pc/song.mp3"));
    // A backup always checks: a bit flipped in the first read or in the
    // second leaves no backup.
    for (const char* fault : {"KD5200_FAULTS=flip:1", "KD5200_FAULTS=flip:2"}) {
        extra = {fault};
        run = Run({"backup", "--force", "saved"});
        EXPECT_EQ(run.status, 1) << fault;
        EXPECT_EQ(run.err, "kdplayer: song.mp3: the copy read back differs from the player's "
                           "file\n") << fault;
        EXPECT_FALSE(fs::exists(dir / "pc/saved")) << fault;
    }
    extra.clear();
    ASSERT_EQ(Run({"backup", "saved"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/saved/internal/song.mp3"), Read(dir / "pc/song.mp3"));
    // A restore checks each copy: one that differs is not left on the player.
    ASSERT_EQ(Run({"rm", "internal", "song.mp3"}).status, 0);
    extra = {"KD5200_FAULTS=flip:1"};
    run = Run({"restore", "saved"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kdplayer: song.mp3: the copy read back differs from the player's file\n");
    extra.clear();
    EXPECT_EQ(Names("internal"), "");
}

TEST_F(Kdplayer, AnotherProgramsChangeEndsWithCodeFiveAndLosesNothing) {
    // The virtual player changes its first file, as another program would,
    // just before the second read of the directory: kdplayer's check of
    // the file it is about to work on.
    const std::string a = Bytes(3000, 50), b = Bytes(4000, 51), c = Bytes(5000, 52);
    Write(dir / "pc/a.mp3", a);
    Write(dir / "pc/b.mp3", b);
    Write(dir / "pc/c.mp3", c);
    const auto fresh = [&] {
        extra.clear();
        NewPlayer();
        ASSERT_EQ(Run({"put", "internal", "a.mp3", "b.mp3", "c.mp3"}).status, 0);
    };

    // get: the first file is copied, the renamed one is not, and nothing
    // of it is left on the PC.
    fresh();
    fs::create_directories(dir / "pc/out");
    extra = {"KD5200_FAULTS=renamed:2"};
    ProgramRun run = Run({"get", "internal", "c.mp3", "a.mp3", "out"});
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.err, "kdplayer: a.mp3: the file is no longer on the player\n"
                       "kdplayer: stopped: 1 of 2 files copied\n");
    EXPECT_EQ(Entries(dir / "pc/out"), std::vector<std::string>{"c.mp3"});
    EXPECT_EQ(Read(dir / "pc/out/c.mp3"), c);
    extra.clear();
    EXPECT_EQ(Names("internal"), "renamed-a.mp3 b.mp3 c.mp3 ");

    // rm: a file that moved to another number is not deleted, nor is the
    // file now at its old number.
    fresh();
    extra = {"KD5200_FAULTS=gone:2"};
    run = Run({"rm", "internal", "c.mp3"});
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.err, "kdplayer: c.mp3: the file is no longer on the player\n"
                       "kdplayer: stopped: 0 of 1 files deleted\n");
    extra.clear();
    EXPECT_EQ(Names("internal"), "b.mp3 c.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 1), c);

    // mv: the other program's name stays.
    fresh();
    extra = {"KD5200_FAULTS=renamed:2"};
    run = Run({"mv", "internal", "a.mp3", "x.mp3"});
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.err, "kdplayer: a.mp3: the file is no longer on the player\n");
    extra.clear();
    EXPECT_EQ(Names("internal"), "renamed-a.mp3 b.mp3 c.mp3 ");
    EXPECT_EQ(OnPlayer("internal", 0), a);

    // backup: a player that changed meanwhile gives no backup.
    fresh();
    extra = {"KD5200_FAULTS=gone:2"};
    run = Run({"backup", "saved"});
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.err, "kdplayer: Internal Memory changed during the backup; no backup was "
                       "written\n");
    EXPECT_FALSE(fs::exists(dir / "pc/saved"));
}

TEST_F(Kdplayer, BadArgumentsGiveClearErrorsAndTheirCodes) {
    EXPECT_EQ(Run({}).status, 2);
    ProgramRun run = Run({"--bogus", "info"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kdplayer: unknown option '--bogus'\nTry 'kdplayer --help'.\n");
    EXPECT_EQ(Run({"dance"}).status, 2);
    run = Run({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage:\n  kdplayer [OPTION]... COMMAND [ARGUMENT]...\n", 0), 0u);
    EXPECT_EQ(Run({"--version"}).out.rfind("kdplayer (Songdock) ", 0), 0u);

    // No player.
    ASSERT_EQ(Sim({"create"}).status, 0);
    run = Run({"ls"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "kdplayer: KD5200 is not Connected.\n");
    ASSERT_EQ(Sim({"plug"}).status, 0);

    run = Run({"ls", "middle"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kdplayer: 'middle' is no memory: say internal or external\n");
    EXPECT_EQ(Run({"get", "internal"}).status, 2);
    EXPECT_EQ(Run({"mv", "internal", "a"}).status, 2);
    run = Run({"get", "internal", "nothing.mp3", "-t", "."});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, "kdplayer: 'nothing.mp3': no such file on the player\n");
    EXPECT_EQ(Run({"put", "internal", "missing.mp3"}).status, 4);
    EXPECT_EQ(Run({"restore", "nowhere"}).status, 4);
    // A block range past the memory, also one that wraps around 32 bits.
    run = Run({"raw", "internal", "0", "262144", "r.dat"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kdplayer: Raw Data Range was exceeded.\n");
    EXPECT_EQ(Run({"raw", "internal", "4294967295", "2", "r.dat"}).status, 2);
    EXPECT_FALSE(fs::exists(dir / "pc/r.dat"));
    // Not enough room: nothing is copied.
    ASSERT_EQ(Sim({"create", "--internal", "64K"}).status, 0);
    ASSERT_EQ(Sim({"plug"}).status, 0);
    Write(dir / "pc/a.mp3", Bytes(40000, 1));
    Write(dir / "pc/b.mp3", Bytes(40000, 2));
    run = Run({"put", "internal", "a.mp3", "b.mp3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the files need 6 blocks of 16384 bytes in 2 entries; 4 blocks and 512 entries are free"), std::string::npos) << run.err;
    EXPECT_EQ(Names("internal"), "");
}
