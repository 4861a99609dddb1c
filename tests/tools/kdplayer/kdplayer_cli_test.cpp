// kdplayer's command line: options each command takes, destinations never
// guessed, names never guessed, and JSON that tells every entry apart.
#include "kdplayer_fixture.h"

#include <algorithm>
#include <clocale>
#include <map>

using namespace kdtest;

namespace {

// Everything a refused command could have changed: both memories byte for
// byte as the virtual player holds them, its font, and the PC folder.
struct Snapshot {
    std::string internal, external, status;
    std::vector<std::string> pc;
    bool operator==(const Snapshot&) const = default;
};

} // namespace

class KdplayerCli : public Kdplayer {
protected:
    Snapshot Take() {
        return {Sim({"ls", "--raw", "internal"}).out, Sim({"ls", "--raw", "external"}).out,
                Sim({"status"}).out, Entries(dir / "pc")};
    }
};

TEST_F(KdplayerCli, EveryCommandRefusesAForeignOption) {
    NewPlayer();
    Write(dir / "pc/README.TXT", "read me");
    Write(dir / "pc/lcd.fot", Bytes(999, 1));
    Write(dir / "pc/music/01.mp3", "one");
    ASSERT_EQ(Run({"put", "internal", "README.TXT"}).status, 0);
    ASSERT_EQ(Run({"put", "external", "README.TXT"}).status, 0);
    ASSERT_EQ(Run({"font", "put", "lcd.fot"}).status, 0);
    ASSERT_EQ(Run({"backup", "saved"}).status, 0);

    // Each command with words it would act on, and the options it takes.
    struct Case {
        std::vector<std::string> line;
        std::vector<std::string> takes;
    };
    const std::vector<Case> cases = {
        {{"info"}, {"-j"}},
        {{"ls", "internal"}, {"-j"}},
        {{"get", "internal", "README.TXT", "music"}, {"-f", "--verify", "--convert", "-o", "-t"}},
        {{"put", "internal", "lcd.fot"}, {"-f", "--verify"}},
        {{"rm", "internal", "README.TXT"}, {}},
        {{"mv", "internal", "README.TXT", "NEW.TXT"}, {}},
        {{"up", "external", "0"}, {}},
        {{"down", "internal", "0"}, {}},
        {{"format", "--yes", "internal"}, {"-y", "--low"}},
        {{"font", "get", "music"}, {"-f", "--verify", "-o", "-t"}},
        {{"font", "put", "lcd.fot"}, {"-f", "--verify"}},
        {{"font", "erase"}, {}},
        {{"raw", "internal", "0", "1", "r.dat"}, {"-f"}},
        {{"backup", "saved2"}, {"-f", "--verify"}},
        {{"restore", "saved"}, {"-f", "--verify"}},
        {{"sync", "music", "internal"}, {"-j", "--verify", "--delete", "-n", "-c"}},
    };
    // Every option but those of every command (-q, -h, -V), as a script
    // would spell it, long or short, with its argument.
    const std::vector<std::vector<std::string>> options = {
        {"-j"},       {"--json"},  {"-f"},          {"--force"}, {"-y"},     {"--yes"},
        {"--verify"}, {"--convert"}, {"--low"},     {"--delete"}, {"-n"},    {"--dry-run"},
        {"-c"},       {"--checksum"}, {"-o", "x.out"}, {"--output=x.out"}, {"-t", "music"},
        {"--target-directory", "music"}};
    const std::map<std::string, std::string> shortOf = {
        {"--json", "-j"},    {"--force", "-f"},  {"--yes", "-y"},   {"--dry-run", "-n"},
        {"--checksum", "-c"}, {"--output=x.out", "-o"}, {"--target-directory", "-t"}};
    const Snapshot before = Take();
    int refused = 0;
    for (const Case& c : cases) {
        for (const auto& option : options) {
            const std::string& word = option[0];
            const std::string spelled = shortOf.count(word) ? shortOf.at(word) : word;
            if (std::count(c.takes.begin(), c.takes.end(), spelled)) continue;
            // Before the command for one half, after its words for the other.
            std::vector<std::string> line = c.line;
            line.insert(refused % 2 ? line.end() : line.begin(), option.begin(), option.end());
            const ProgramRun run = Run(line);
            std::string shown;
            for (const std::string& w : line)
                shown += w + " ";
            EXPECT_EQ(run.status, 2) << shown << run.err;
            const std::string command = c.line[0] == "font" ? "font " + c.line[1] : c.line[0];
            EXPECT_NE(run.err.find(command + " does not take the option '" + word.substr(0, word.find('=')) + "'"),
                      std::string::npos)
                << shown << run.err;
            ++refused;
        }
    }
    EXPECT_GT(refused, 150);
    EXPECT_TRUE(Take() == before) << "a refused command changed the player or the PC";

    // --dry-run on rm and format: refused, not ignored.
    ProgramRun run = Run({"rm", "--dry-run", "internal", "README.TXT"});
    EXPECT_EQ(run.err, "kdplayer: rm does not take the option '--dry-run'\n"
                       "Try 'kdplayer rm --help'.\n");
    run = Run({"-n", "format", "--yes", "internal"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("format does not take the option '-n' (--dry-run)"), std::string::npos);
    EXPECT_TRUE(Take() == before);

    // A shortened option that fits two is refused; one that fits one works.
    run = Run({"--ver"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'--ver' is ambiguous: it may be --verify, --version"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Run({"--unknown", "ls"}).status, 2);
    run = Run({"get", "--verif", "--out", "copy.txt", "internal", "README.TXT"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(dir / "pc/copy.txt"), "read me");

    // Each command's help shows its usage and its own options only.
    run = Run({"rm", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: kdplayer rm MEMORY FILE...\n", 0), 0u) << run.out;
    EXPECT_EQ(run.out.find("--dry-run"), std::string::npos) << run.out;
    // The help says what the manual says of a replace's temporary name.
    for (const std::vector<std::string>& help : {std::vector<std::string>{"--help"}, {"put", "-h"}}) {
        run = Run(help);
        EXPECT_NE(run.out.find("stored under a temporary name (~kd...)"), std::string::npos) << run.out;
    }
    run = Run({"font", "get", "-h"});
    EXPECT_NE(run.out.find("--output=FILE"), std::string::npos) << run.out;
    EXPECT_EQ(Run({"nonsense", "--help"}).status, 2);
}

TEST_F(KdplayerCli, GetNeverTakesAMistypedNameForTheDestination) {
    NewPlayer();
    Write(dir / "pc/README.TXT", "read me");
    Write(dir / "pc/Notes.txt", "notes");
    ASSERT_EQ(Run({"put", "internal", "README.TXT", "Notes.txt"}).status, 0);
    fs::remove(dir / "pc/README.TXT");
    fs::remove(dir / "pc/Notes.txt");
    fs::create_directories(dir / "pc/into");

    // A typo among the names: refused, naming it, and nothing is copied.
    ProgramRun run = Run({"get", "internal", "README.TXT", "Notes for the trp.txt"});
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("'Notes for the trp.txt': no such file on the player"),
              std::string::npos)
        << run.err;
    run = Run({"get", "internal", "Notse.txt", "README.TXT", "into"});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(Entries(dir / "pc"), std::vector<std::string>{"into"});
    EXPECT_TRUE(Entries(dir / "pc/into").empty());

    // -o names the one file, -t and an existing last folder take several.
    EXPECT_EQ(Run({"get", "internal", "0", "1", "-o", "both.txt"}).status, 2);
    EXPECT_EQ(Run({"get", "internal", "0", "-o", "into"}).status, 2);
    EXPECT_EQ(Run({"get", "internal", "0", "-t", "nowhere"}).status, 4);
    EXPECT_EQ(Run({"get", "internal", "0", "-o", "a", "-t", "into"}).status, 2);
    ASSERT_EQ(Run({"get", "internal", "0", "-o", "Notes for the trip.txt"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/Notes for the trip.txt"), "read me");
    ASSERT_EQ(Run({"get", "-t", "into", "internal", "0", "1"}).status, 0);
    ASSERT_EQ(Run({"get", "-f", "internal", "0", "1", "into"}).status, 0);
    EXPECT_EQ(Entries(dir / "pc/into"), (std::vector<std::string>{"Notes.txt", "README.TXT"}));
    // Standard output, as the last word or as -o.
    EXPECT_EQ(Run({"get", "internal", "Notes.txt", "-"}).out, "notes");
    EXPECT_EQ(Run({"get", "internal", "Notes.txt", "-o", "-"}).out, "notes");

    // The font the same way: a word that is no folder is refused.
    Write(dir / "pc/src/lcd.fot", "font");
    ASSERT_EQ(Run({"font", "put", "src/lcd.fot"}).status, 0);
    EXPECT_EQ(Run({"font", "get", "typo.fot"}).status, 2);
    EXPECT_FALSE(fs::exists(dir / "pc/typo.fot"));
    ASSERT_EQ(Run({"font", "get", "-o", "mine.fot"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/mine.fot"), "font");
    ASSERT_EQ(Run({"font", "get", "into"}).status, 0);
    EXPECT_EQ(Read(dir / "pc/into/lcd.fot"), "font");
}

TEST_F(KdplayerCli, NamesThatReadAlikeAreToldApartAndNeverGuessed) {
    // A Korean desktop; two names were written on a Western PC, in CP1252,
    // whose last letters CP949 cannot show.
    extra = {"LANG=ko_KR.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE=", "KD5200_CODEPAGE="};
    NewPlayer();
    Write(dir / "pc/src/caf\xc3\xa9.mp3", "acute");
    Write(dir / "pc/src/caf\xc3\xa8.mp3", "grave");
    for (const char* name : {"caf\xc3\xa9.mp3", "caf\xc3\xa8.mp3"})
        ASSERT_EQ(Script(std::string("KD5200_CODEPAGE=CP1252 $SIM put internal src/") + name)
                      .status,
                  0);

    // Both read "caf\uFFFD.mp3"; their bytes tell them apart.
    ProgramRun run = Run({"ls", "--json", "internal"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ValidJson(run.out));
    EXPECT_NE(run.out.find("\"name\":\"caf\xEF\xBF\xBD.mp3\",\"name_bytes\":\"636166e92e6d7033\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"name_bytes\":\"636166e82e6d7033\""), std::string::npos) << run.out;

    // Typed as read, the name fits both: refused, with their numbers.
    run = Run({"get", "internal", "caf\xEF\xBF\xBD.mp3", "-o", "which.mp3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("해당하는 파일이 여럿입니다(0, 1번)"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir / "pc/which.mp3"));
    EXPECT_EQ(Run({"rm", "internal", "caf\xEF\xBF\xBD.mp3"}).status, 2);
    // By number, each is its own, and the refused rm deleted neither.
    EXPECT_EQ(Run({"get", "internal", "0", "-"}).out, "acute");
    EXPECT_EQ(Run({"get", "internal", "1", "-"}).out, "grave");
}

TEST_F(KdplayerCli, WithJsonAFailureIsAJsonDocument) {
    ASSERT_EQ(Sim({"create"}).status, 0);
    // No player: ls says so as an error document, info as its own with the reason.
    ProgramRun run = Run({"ls", "--json"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(ValidJson(run.out));
    EXPECT_NE(run.out.find("{\"error\":{\"message\":\"KD5200 is not Connected.\",\"exit_code\":3}}"),
              std::string::npos)
        << run.out;
    run = Run({"info", "--json"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(ValidJson(run.out));
    EXPECT_NE(run.out.find("\"connected\":false"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"exit_code\":3"), std::string::npos) << run.out;

    ASSERT_EQ(Sim({"plug"}).status, 0);
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"ls", "-j", "middle"}, {"sync", "-j", "nowhere", "internal"},
          {"get", "--json", "internal", "0"}, {"--jso"}}) {
        run = Run(line);
        EXPECT_NE(run.status, 0) << line[0];
        EXPECT_TRUE(ValidJson(run.out)) << line[0];
        EXPECT_NE(run.out.find("\"exit_code\":" + std::to_string(run.status)), std::string::npos)
            << run.out;
    }
}

TEST_F(KdplayerCli, AKoreanDesktopReadsKoreanWhileScriptsReadTheSameAsEver) {
    // scripts/deps.sh makes the locale; without it every message is English.
    ASSERT_TRUE(std::setlocale(LC_MESSAGES, "ko_KR.UTF-8")) << "no ko_KR.UTF-8 locale";
    std::setlocale(LC_MESSAGES, "C");
    NewPlayer();
    Write(dir / "pc/dup.mp3", "one");
    ASSERT_EQ(Run({"put", "internal", "dup.mp3"}).status, 0);
    // The same code page for both, so that only the language differs.
    const auto in = [&](const char* lang, const std::vector<std::string>& args) {
        extra = {std::string("LANG=") + lang,
                 "LC_ALL=", "LC_MESSAGES=", "LANGUAGE=", "KD5200_CODEPAGE=CP949"};
        return Run(args);
    };
    struct Case {
        std::vector<std::string> args;
        const char* korean;  // in the messages under ko_KR
        const char* english; // in them under C
    };
    const Case cases[] = {
        {{"put", "internal", "dup.mp3"},
         "'dup.mp3' 파일이 내장 메모리에 이미 있습니다",
         "'dup.mp3' is already on the Internal Memory; --force replaces it"},
        {{"get", "internal"},
         "get에는 메모리와 파일을 하나 이상 지정해야 합니다",
         "get needs a memory and at least one file"},
        {{"ls", "--bogus"}, "'kdplayer --help'를 실행해 보십시오.", "Try 'kdplayer --help'."},
        {{"backup", "saved"}, "파일 1개를 saved에 저장했습니다", "1 files saved in saved"},
        {{"--help"}, "사용법:", "Usage:"},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir / "pc/saved");
        const ProgramRun korean = in("ko_KR.UTF-8", c.args);
        fs::remove_all(dir / "pc/saved");
        const ProgramRun english = in("C", c.args);
        EXPECT_EQ(korean.status, english.status) << c.args[0];
        EXPECT_NE((korean.out + korean.err).find(c.korean), std::string::npos)
            << korean.out << korean.err;
        EXPECT_NE((english.out + english.err).find(c.english), std::string::npos)
            << english.out << english.err;
    }

    // What a script reads is the same in both: listings, plans, and failures
    // as documents with their English message.
    Write(dir / "pc/src/new.mp3", "new");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"ls", "--json"},
                                                 {"info", "--json"},
                                                 {"sync", "--json", "--dry-run", "src", "internal"},
                                                 {"ls", "-j", "middle"}}) {
        const ProgramRun korean = in("ko_KR.UTF-8", args);
        const ProgramRun english = in("C", args);
        EXPECT_EQ(korean.status, english.status) << args[0];
        EXPECT_EQ(korean.out, english.out);
        EXPECT_TRUE(ValidJson(korean.out));
    }
    const ProgramRun refused = in("ko_KR.UTF-8", {"ls", "-j", "middle"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.out.find("\"message\":\"'middle' is no memory: say internal or external\""),
              std::string::npos)
        << refused.out;
    EXPECT_NE(refused.err.find("'middle': 메모리 이름이 아닙니다"), std::string::npos)
        << refused.err;
}
