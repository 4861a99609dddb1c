#pragma once
// Upgrading the player's application (codec) code or boot code from a file
// the user picks: an Intel HEX file is converted into a temporary image
// first, any other file is written as it is. No windows: dialogs and
// messages go through the platform layer; owners are opaque window pointers.
#include "lib/device/kd5200usb.h"
#include "lib/maint/long_call.h"

#include <string>

namespace maint {

// Result of an upgrade that was not attempted because the HEX file could not
// be converted (the failure has been shown). Like 14 (cancelled), it leaves
// the program running.
inline constexpr int kUpgradeNotAttempted = -1;

// Whether the chosen file is an Intel HEX file: its extension, after the last
// "." that follows the last "/", is "hex" in any letter case.
bool IsHexFileName(const std::string& path);

// Whether an upgrade result calls for the closing message (the player
// restarts with new code, or the attempt failed at the device).
inline bool UpgradeWasAttempted(int result) {
    return result != 14 && result != kUpgradeNotAttempted;
}

// Asks for a file (titles 3013/3015, filter 3014, the remembered
// CodecCodeName/BootCodeName), converts a HEX file into a temporary "$520"
// image (base 0x2000 for application code, 0 for boot code), refuses an empty
// image, asks before writing one that the conversion warned about (Cancel
// gives 14 and writes nothing), writes the image
// with the receive time-out raised to the format time-out, restores the
// time-outs, shows a device failure, marks both memories stale and deletes
// the temporary image. Returns 0, 3 (no player), 14 (dialog cancelled),
// kUpgradeNotAttempted (conversion failed) or the library's code.
int UpgradeCode(void* parent, KD5200_HANDLE handle, int boot,
                const CallScopeFactory& progress = {});
// UpgradeCode with the open device and boot flag 0 or 1.
int UpgradeApplicationCode(void* parent, const CallScopeFactory& progress = {});
int UpgradeBootCode(void* parent, const CallScopeFactory& progress = {});

} // namespace maint
