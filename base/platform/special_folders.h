#pragma once
// The user's special folders from the XDG user folders
// ($XDG_CONFIG_HOME/user-dirs.dirs, read by GLib once a process).
#include <optional>
#include <string>

namespace platform {

enum class SpecialFolder { Desktop, Documents, CommonDesktop };

// The folder's path: the configured one when it exists, else ~/Desktop or
// ~/Documents when that exists, else the home folder. The all-users desktop
// has no counterpart here and yields nothing.
std::optional<std::string> SpecialFolderPath(SpecialFolder folder);
// The name to show for the folder (the last name of its path).
std::string SpecialFolderName(SpecialFolder folder);

} // namespace platform
