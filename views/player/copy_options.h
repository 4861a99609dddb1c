#pragma once
// How Songdock's panes copy files: verified and converted as the settings
// say, and with the person asked before a PC file is replaced.
#include "lib/device/device_copy.h"

namespace player {

// The question before each PC file a copy would replace: Yes, No and Cancel,
// and with more files to come "Yes to All" and "No to All", which answer the
// rest of the copy. A file this copy wrote already is asked about even after
// "Yes to All". Each call makes a policy with answers of its own.
DevOverwritePolicy AskingOverwrite();

// The options of a copy between the panes: the settings as they are now and
// the asking policy.
DevCopyOptions CopyOptions();

} // namespace player
