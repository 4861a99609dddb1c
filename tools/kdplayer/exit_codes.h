#pragma once
// kdplayer's exit statuses, one for each kind of outcome a script tells apart.
namespace kdplayer {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,   // a copy, check or player operation failed
    kExitUsage = 2,    // bad arguments, or a question that cannot be asked
    kExitNoPlayer = 3, // no player attached, or the memory named is absent
    kExitNotFound = 4, // a file named is not on the player or the PC
    kExitChanged = 5,  // the player changed under the command (another program)
    kExitPartial = 6,  // stopped part-way (Ctrl+C, unplug); what was done is said
};

// The status for a device library code that ended a command.
int ExitForCode(int code);

} // namespace kdplayer
