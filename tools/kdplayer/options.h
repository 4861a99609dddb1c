#pragma once
// kdplayer's command line: GNU-style options anywhere, then a command and
// its words. Each command names the options it takes; any other is refused.
#include <string>
#include <vector>

namespace kdplayer {

struct Options {
    bool help = false;
    bool version = false;
    bool json = false;
    bool quiet = false;
    bool force = false;
    bool yes = false;
    bool verify = false;
    bool convert = false;
    bool low = false;
    bool remove = false; // sync --delete
    bool dryRun = false;
    bool checksum = false;
    std::string output;    // -o FILE: the one file a copy writes ("" = not given)
    std::string targetDir; // -t DIR: the folder copies go into ("" = not given)
    std::string command;
    std::vector<std::string> words; // the command's own arguments
};

// The options, one bit each in a command's set.
enum Option : unsigned {
    kOptHelp = 1u << 0,
    kOptVersion = 1u << 1,
    kOptJson = 1u << 2,
    kOptQuiet = 1u << 3,
    kOptForce = 1u << 4,
    kOptYes = 1u << 5,
    kOptVerify = 1u << 6,
    kOptConvert = 1u << 7,
    kOptLow = 1u << 8,
    kOptDelete = 1u << 9,
    kOptDryRun = 1u << 10,
    kOptChecksum = 1u << 11,
    kOptOutput = 1u << 12,
    kOptTarget = 1u << 13,
};

// One command of the table: its name, the options it takes, its usage line
// (after "kdplayer "), a line on what it does, and its handler.
struct Command {
    const char* name;
    unsigned options;
    const char* usage;
    const char* summary;
    int (*run)(const Options&);
};

// The command of that name, or null.
const Command* FindCommand(const std::string& name);
// The table's entry for a command line: font goes by its first word
// ("font get"), the others by their name; null for an unknown command.
const Command* EntryFor(const std::string& command, const std::vector<std::string>& words);

// Parses argv into options and checks each option against the command.
// Returns 0, or the exit status after saying on standard error what is
// wrong (an unknown, ambiguous or foreign option, a missing argument).
// options.json is set whenever --json was given, so that the failure can
// be reported as JSON too.
int ParseOptions(int argc, char** argv, Options& options);

// The usage text (--help), a command's usage (COMMAND --help) and the
// version line (--version).
std::string UsageText();
std::string CommandUsageText(const Command& command);
std::string VersionText();

} // namespace kdplayer
