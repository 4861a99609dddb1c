#pragma once
// The copies of kdplayer between the PC and the player, one file at a time,
// each whole or not at all, each read back and compared when asked.
#include "tools/kdplayer/progress_bar.h"
#include "tools/kdplayer/session.h"
#include "lib/device/device_progress.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kdplayer {

// What a copy reports: the device library's code (0 done) and, for a copy
// onto the player, the entry it became.
struct CopyResult {
    int code = 0;
    PlayerFile added;
    bool kept = false; // a copy onto the player that could not be checked stays there
};

// The bar (may be null) on which the copies made while this object lives
// show their progress; the bar it replaced comes back after it.
class CopyProgress {
public:
    explicit CopyProgress(ProgressBar* bar);
    ~CopyProgress();
    CopyProgress(const CopyProgress&) = delete;
    CopyProgress& operator=(const CopyProgress&) = delete;

private:
    ProgressBar* outerBar_;
};

// The progress handler of kdplayer's copies: shows the progress on the bar
// of the CopyProgress in place and stops a copy at its next chunk once an
// interrupt came. A copy passes it in its options; a device call that takes
// none runs with it installed (device::ProgressGuard).
device::ProgressHandler CopyReports();

// The copy of file onto the PC at target, through the device layer:
// written beside it and put in its place whole, so that a stop or a failure
// leaves the old file (or none), and a replaced file keeps its mode.
// conversion: KD5200_CONVERT_*. With verify the player file is read again
// and compared with what was written; the copy then has no name until it is
// found equal, so that a run killed during the check leaves nothing.
// Unless the listing that gave file was just read (fresh), the entry is
// checked first to still hold that name and size. An existing target is
// replaced only with replace (--force); else nothing is copied. Says what
// went wrong.
int CopyToPc(int memory, const PlayerFile& file, const std::string& target, int conversion,
             bool verify, bool fresh = false, bool replace = false);
// The player file read into data and checked against a second read, both
// through the device layer without a file on the PC. Says what went wrong.
int CopyToMemory(int memory, const PlayerFile& file, std::vector<unsigned char>& data);

// The copy of file onto standard output (through a scratch file, so that
// nothing is written before the whole file was had and checked).
int CopyToStdout(int memory, const PlayerFile& file, int conversion, bool verify,
                 bool fresh = false);

// Stores the PC file at path as the last entry of the memory through the
// device layer; with verify the layer reads the new entry back and removes it
// when it differs or cannot be read back; a copy the player was lost before
// it was checked stays, and that is said (kept). The new entry is looked up
// (result.added) when asked for. Says what went wrong.
CopyResult CopyToPlayer(int memory, const std::string& path, bool verify, bool findEntry = true);

// The conversion of a player file for --convert (QKA or QDX to WAV) and the
// PC name it then gets.
int ConversionOf(const std::string& name, std::string& pcName);

// Says how far a run of several changes got before it stopped:
// "stopped: DONE of TOTAL NOUN VERB" and after.
void SayStopped(int done, int total, const char* noun, const char* verb, const Message& after = "");
// The end of a run of copies (or deletions) over several files stopped by
// the library's code after done of total: says what was done and gives the
// status. Another program's change is 5 whatever was done; part done or an
// interrupt is 6; else the code's own status.
int StoppedStatus(int code, int done, int total, const char* verb, const Message& after = "");

// Text for a library code: the library's own message.
Message CodeText(int code);

} // namespace kdplayer
