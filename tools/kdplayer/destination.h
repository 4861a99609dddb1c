#pragma once
// Where copies to the PC go. The destination is never guessed from a word
// that might be a mistyped source: -o FILE names the one file, -t DIR the
// folder, and a last word is a destination only when it is an existing
// folder (as cp takes it) or "-" (standard output, where allowed).
#include "tools/kdplayer/options.h"

#include <string>
#include <vector>

namespace kdplayer {

struct Destination {
    std::string path;            // "" = the current folder
    bool folder = true;          // files go into path under their own names
    bool standardOutput = false; // the one file goes to standard output
};

// Takes the destination from options and, when neither -o nor -t is given,
// from the last of words when more than minWords remain (removing it).
// Returns 0, or the exit status after saying what is wrong.
int TakeDestination(const Options& options, std::vector<std::string>& words, size_t minWords,
                    bool allowStdout, Destination& destination);

} // namespace kdplayer
