#pragma once
// What a copy of files between the PC and the player is told by its caller
// (DevCopyOptions) and what it gives back (DevCopyResult). The copy reads no
// settings and asks no questions: the caller's policy decides about each PC
// file it would replace, so that Songdock asks the person and kdplayer
// follows its flags.
#include "lib/device/kd5200_binding.h"

#include <functional>
#include <string>
#include <vector>

namespace device {
class PlayerWatch;
}

// What to do with a PC file that a copy from the player would replace.
enum class DevOverwrite {
    kReplace, // the copy takes its place
    kSkip,    // the file stays; the copy goes on with the next one
    kStop,    // the file stays; the copy stops (as a person's Cancel: code 14)
};

struct DevOverwriteAnswer {
    DevOverwrite action = DevOverwrite::kStop;
    bool asked = false; // a person was asked (the player may have changed meanwhile)
};

// Asked for each existing PC file a copy would replace: its path, whether
// more files of the copy follow, and whether this copy itself wrote it
// (two player files that would become one PC file).
using DevOverwritePolicy =
    std::function<DevOverwriteAnswer(const std::string& target, bool moreToCome, bool ownCopy)>;

struct DevCopyOptions {
    bool verify = false;     // each copy read back and compared with its source
    bool convertQka = false; // QKA and QDX recordings become WAV files on the PC
    bool convertQdx = false;
    // Without a policy an existing PC file stops the copy, unreplaced.
    DevOverwritePolicy overwrite;
    // Installed for the copy's length; empty keeps the handler installed.
    device::ProgressHandler progress;
    // Failures are shown through the library's display and message boxes;
    // when false nothing is shown and the results say it all.
    bool show = true;
    // With show, whether what a read-back found is shown too (a copy that
    // differs or could not be read back, and what became of it); false for
    // a caller that says it in its own words from the results.
    bool showCheck = true;
    // A copy from the player of one file: the PC path it is written to,
    // instead of the folder and its player name.
    std::string target;
    // The watch made when the files were listed; null: one made by the copy.
    const device::PlayerWatch* watch = nullptr;
    // Each player entry is checked to be as listed before its copy; false
    // for a first file whose listing was just read.
    bool checkFirst = true;
};

// How one file of a copy ended.
enum class DevCopyEnd {
    kCopied,        // whole, and found equal when verified
    kSkipped,       // the policy kept the PC file
    kFailed,        // nothing of it was kept
    kKeptUnchecked, // copied, but it could not be read back (or, differing,
                    // could not be removed); it stays
};

struct DevFileResult {
    std::string name;   // as listed: the player name shown, or the PC path
    std::string target; // the PC path written (copies from the player)
    DevCopyEnd end = DevCopyEnd::kFailed;
    int code = 0;         // the library's code of a failure
    int systemError = 0;  // the system's error number behind it, or 0
    bool pcSide = false;  // the failure is the PC file's (target), not the player's
    bool differs = false; // the copy read back differed from its source
    // The copy was whole but could not be read back (or not told from what
    // another program added meanwhile): removed, or kept (kKeptUnchecked).
    bool unchecked = false;
};

struct DevCopyResult {
    int code = 0; // the first failure's code (0 when all went well)
    // Every file handled, in order; those after a stop are not listed.
    std::vector<DevFileResult> files;
    // Files copied whole or kept unchecked.
    int Copied() const;
};
