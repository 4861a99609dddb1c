#include "base/platform/install_layout.h"

#include "base/platform/paths.h"

#include <filesystem>

// Paths from the programs' folder to the data and library folders; the build
// passes those of its install layout.
#ifndef SONGDOCK_DATA_FROM_BIN
#define SONGDOCK_DATA_FROM_BIN "../share/songdock"
#endif
#ifndef SONGDOCK_LIB_FROM_BIN
#define SONGDOCK_LIB_FROM_BIN "../lib"
#endif

namespace platform {

namespace {

// Paths are UTF-8 text (on Windows too, where a narrow path would be read in
// the ANSI code page).
std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string Below(const std::string& programDir, const char* relative) {
    if (programDir.empty()) return "";
    const std::u8string path = (PathOf(programDir) / relative).lexically_normal().generic_u8string();
    return std::string(path.begin(), path.end());
}

} // namespace

std::string DataDirectoryFor(const std::string& programDir) {
    const std::string folder = Below(programDir, SONGDOCK_DATA_FROM_BIN);
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(PathOf(folder), ec) ? folder : "";
}

std::string DataDirectory() {
    return DataDirectoryFor(ExecutableDirectory());
}

std::string LibraryDirectoryFor(const std::string& programDir) {
    return Below(programDir, SONGDOCK_LIB_FROM_BIN);
}

} // namespace platform
