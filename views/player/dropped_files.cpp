#include "views/player/dropped_files.h"

#include <cerrno>
#include <filesystem>

#include "base/platform/folder_files.h"
#include "base/platform/shortcut.h"

namespace player {

std::string ResolveDroppedPath(const std::string& path) {
    std::string target = platform::ResolveShortcut(path);
    return target.empty() ? path : target;
}

std::vector<std::string> ResolveDroppedPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> resolved;
    resolved.reserve(paths.size());
    for (const std::string& path : paths)
        resolved.push_back(ResolveDroppedPath(path));
    return resolved;
}

PathCheck CheckDownloadPath(const std::string& path) {
    if (path.size() > kMaxDownloadPath) return {PathProblem::TooLong, ENAMETOOLONG};
    std::error_code error;
    const auto status = std::filesystem::status(platform::FsPath(path), error);
    if (error) return {PathProblem::Unreadable, error.value()};
    if (status.type() == std::filesystem::file_type::not_found)
        return {PathProblem::Unreadable, ENOENT};
    if (status.type() == std::filesystem::file_type::directory) return {PathProblem::Directory, 0};
    return {};
}

} // namespace player
