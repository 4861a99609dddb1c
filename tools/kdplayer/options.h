#pragma once
// kdplayer's command line: GNU-style options anywhere, then a command and
// its words.
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
    std::string command;
    std::vector<std::string> words; // the command's own arguments
};

// Parses argv. On a bad option prints why on standard error and returns false.
bool ParseOptions(int argc, char** argv, Options& options);

// The usage text (--help) and the version line (--version).
const char* UsageText();
std::string VersionText();

} // namespace kdplayer
