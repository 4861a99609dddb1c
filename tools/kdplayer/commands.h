#pragma once
// kdplayer's commands. Each takes the parsed command line (its words checked
// for number by the caller) and returns the exit status.
#include "tools/kdplayer/options.h"

namespace kdplayer {

int RunInfo(const Options& options);
int RunList(const Options& options);
int RunGet(const Options& options);
int RunPut(const Options& options);
int RunRemove(const Options& options);
int RunRename(const Options& options);
int RunMove(const Options& options, bool up);
int RunFormat(const Options& options);
int RunFont(const Options& options);
int RunRaw(const Options& options);
int RunBackup(const Options& options);
int RunRestore(const Options& options);
int RunSync(const Options& options);

} // namespace kdplayer
