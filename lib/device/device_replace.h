#pragma once
// Replacing a player file by a PC file so that no moment leaves the player
// with neither: the new copy is stored under a temporary name, checked when
// asked, and only then takes the old file's name and place. The temporary
// names say everything needed to finish or undo the work, so that what a
// killed run left is put right by the next program that reads the memory's
// directory (DevRefreshMemory), from what the player holds alone.
//
// A temporary name is "~kd", a state ('c' while the copy is made and
// checked, 'r' once it is whole and checked), the old file's entry number
// (two base-36 digits), the process id of the writer (base 36), "~", and
// then "copy" (state 'c') or the name the new file gets, in the player's
// bytes (state 'r'). Entries whose writer still runs on this PC are left
// alone.
#include "lib/device/device_watch.h"
#include "lib/device/kd5200_binding.h"
#include "lib/device/kd5200usb.h"

#include <cstdint>
#include <string>

// What the player holds after a replace.
enum class DevReplaceEnd {
    kReplaced,       // the new copy has the name and the place
    kOldKept,        // the old file has its name and place; no new copy took them
    kCompletesLater, // the new copy is whole (and checked); the player was lost
                     // before it took the name, which it does at the memory's
                     // next reading
};

struct DevReplaceResult {
    int code = KD5200_ERR_NONE; // the library's code, 0 when replaced
    DevReplaceEnd end = DevReplaceEnd::kOldKept;
    bool differs = false;  // the copy read back differed from the PC file
    bool leftover = false; // a temporary copy stays (the player was lost); it goes
                           // at the memory's next reading
    bool tooLong = false;  // the name leaves no room for the temporary name's marks
};

// Replaces entry old of the memory (as shown to the person: checked with
// watch before the first change and again before the old file goes) by the
// PC file at pcPath, which must have a name the player takes; with verify
// the new copy is read back and compared first. Library failures are shown
// through the library, as is a change of the player; a copy that differs
// is not (differs is set), nor a name too long (tooLong). progress is
// installed for the replace's length; empty keeps the handler installed.
DevReplaceResult DevReplaceFile(KD5200_HWND parent, int memory, const device::ShownEntry& old,
                                const std::string& pcPath, bool verify,
                                const device::PlayerWatch& watch,
                                const device::ProgressHandler& progress = {});

namespace device::detail {

// Puts right what killed replaces left on the memory just read into the
// cache; true when it changed the memory (the cache is then stale).
bool RecoverReplaces(int memory);

} // namespace device::detail
