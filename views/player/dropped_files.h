#pragma once
// Files handed to a player memory for download, apart from any window: what
// a dropped path stands for, and whether a path may be downloaded at all.
#include <string>
#include <vector>

namespace player {

// The longest path the pane accepts, in bytes (the system's own limit).
inline constexpr size_t kMaxDownloadPath = 4095;

// The file a dropped path stands for: the target of a symbolic link or of a
// link file ("Type=Link" with a file:// URL), else the path itself.
std::string ResolveDroppedPath(const std::string& path);

// The dropped paths, each resolved as above, in their order.
std::vector<std::string> ResolveDroppedPaths(const std::vector<std::string>& paths);

// Why a path cannot be downloaded.
enum class PathProblem {
    None,
    TooLong,    // longer than kMaxDownloadPath
    Unreadable, // its attributes cannot be read (error holds errno)
    Directory,  // a folder
};
struct PathCheck {
    PathProblem problem = PathProblem::None;
    int error = 0; // errno for TooLong (ENAMETOOLONG) and Unreadable
};
PathCheck CheckDownloadPath(const std::string& path);

} // namespace player
