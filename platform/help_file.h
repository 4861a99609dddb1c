#pragma once
// The help file, opened with the desktop's viewer for it.

#include <string>

namespace platform {

// Path of the help file, relative to the current directory.
inline constexpr const char* kHelpFilePath = "HtmlHelp/Songdock.chm";

// Opens the help file through the current launcher. When the file is
// missing, or nothing can show it, says so in a warning box owned by owner.
// Returns whether a viewer was started.
bool OpenHelpFile(void* owner);

} // namespace platform
