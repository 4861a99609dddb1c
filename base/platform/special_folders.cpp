#include "base/platform/special_folders.h"

#include <sys/stat.h>

#include <glib.h>

namespace platform {

namespace {

bool IsFolder(const char* path) {
    struct stat st {};
    return path && *path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::optional<std::string> SpecialFolderPath(SpecialFolder folder) {
    if (folder == SpecialFolder::CommonDesktop) return std::nullopt;
    const bool desktop = folder == SpecialFolder::Desktop;
    const std::string home = g_get_home_dir();
    // The configured folder (xdg-user-dirs sets one it gave up on to the home
    // folder itself), else the usual name when that exists, else home.
    const char* configured =
        g_get_user_special_dir(desktop ? G_USER_DIRECTORY_DESKTOP : G_USER_DIRECTORY_DOCUMENTS);
    if (IsFolder(configured)) return configured;
    const std::string fallback = home + (desktop ? "/Desktop" : "/Documents");
    if (IsFolder(fallback.c_str())) return fallback;
    return home;
}

std::string SpecialFolderName(SpecialFolder folder) {
    const auto path = SpecialFolderPath(folder);
    if (!path) return "";
    std::string p = *path;
    if (p == g_get_home_dir()) return "Home";
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const auto slash = p.find_last_of('/');
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    return name.empty() ? p : name;
}

} // namespace platform
