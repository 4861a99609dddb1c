#pragma once
// The player's LCD font: download a ".fot" file from the PC, erase it,
// upload it into a PC folder, read its name and size. No windows: dialogs
// and messages go through the platform layer; owners are opaque pointers.
// Results: 0 done or nothing to do, 3 no player, 7 out of memory, 14
// cancelled, otherwise the device library's error code.
#include "lib/device/kd5200usb.h"
#include "lib/maint/long_call.h"

#include <string>

namespace maint {

// Asks before replacing a font the player holds (caption: its name), then
// for the file (title 3019, filter 3018, the remembered FontName), stores the
// choice and downloads it.
int DownloadLcdFont(void* owner, const CallScopeFactory& progress = {});
// Erases the player's font without asking.
int EraseLcdFont(void* owner);
// Copies the player's font into folder under the name the player reports,
// asking before replacing a file there.
int UploadLcdFont(void* owner, const std::string& folder, const CallScopeFactory& progress = {});
// Fills record with the player's font name and size.
int ReadLcdFontInfo(KD5200_FONTINFO* record);

} // namespace maint
