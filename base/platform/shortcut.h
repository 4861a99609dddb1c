#pragma once
// Shortcut resolution: symbolic links and freedesktop link files.
#include <string>

namespace platform {

// The path a shortcut points to: the target of a symbolic link (made
// absolute), or the local file of a ".desktop" file of Type=Link whose URL
// is a file:// URL. Anything else, and an empty path, yields "".
std::string ResolveShortcut(const std::string& path);

// The local path of a file:// URL with its %XX escapes decoded, or "" when
// the URL names no local file or is badly escaped.
std::string LocalPathFromFileUrl(const std::string& url);

} // namespace platform
