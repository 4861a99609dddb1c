#pragma once
// Reading raw 16 KB blocks of a player memory into the configured file and
// opening that file in the configured viewer. No windows: messages go through
// the platform layer, the viewer through the platform launcher.
#include "lib/maint/long_call.h"

namespace maint {

// Memory 0 or 1: reads the configured block range (RawDataAddr,
// RawDataCount) into RawDataFileName, asking before replacing it (No keeps the
// file and only opens the viewer), then starts RawDataViewer with the file's
// path as its one argument. Memory -1 only opens the viewer on the saved
// file. Returns 0 (done or nothing to do), 3 (no player), 14 (stopped) or the
// library's code.
int DownloadRawData(void* owner, int memory, const CallScopeFactory& progress = {});

} // namespace maint
