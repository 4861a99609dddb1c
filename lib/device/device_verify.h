#pragma once
// Verification of copies ("Verify files after copying"): each copied file is
// read back from where it went and compared byte for byte with its source.
// A copy that differs is removed and named in a message. Shared by the
// device layer's source files only.
#include "lib/device/kd5200usb.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace device::detail {

// The outcome of a verified step: the library's code (0 when all went well),
// whether it was shown already, and whether a copy that could not be
// checked was kept where it went (it then counts as copied); for a caller
// that shows failures itself, the system's error behind the code, whether
// the PC file failed, and whether the copy differed.
struct Verified {
    int code = KD5200_ERR_NONE;
    bool shown = false;
    bool kept = false;
    int systemError = 0;
    bool pcSide = false;
    bool differs = false;
    bool unchecked = false; // the copy was whole but could not be read back
};

// Reads back the entry that the download of pcPath just added at the end of
// the memory, which held countBefore files before, and compares it with
// pcPath; a copy that differs is deleted, as is one that cannot be read back
// while the player is still there (one the player was lost before, or that
// could not be deleted, is kept). When the memory no longer holds just one
// more file, of pcPath's size, another program changed it: nothing is read
// back or deleted, and that is said.
Verified VerifyDownload(KD5200_HWND parent, int memory, const std::string& pcPath,
                        size_t countBefore);

// Copies entry number of the memory (size bytes) to target and checks the
// copy against a second read of the player. With a conversion, the raw
// copy is checked so before it is converted into target.
// A target that is no regular file (a device, a FIFO) cannot be read back
// and is copied unchecked. The copy has no name until it is checked, so an
// existing file is replaced only by a checked copy, and nothing is left of
// one that fails its check, cannot be read back or is killed meanwhile.
Verified VerifiedUpload(KD5200_HWND parent, int memory, int number, const std::string& target,
                        const char* playerName, uint32_t size, int conversion);

} // namespace device::detail
