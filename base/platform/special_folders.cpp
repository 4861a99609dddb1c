#include "base/platform/special_folders.h"

#include "base/platform/paths.h"

#include <cstdlib>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string Home() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

} // namespace

std::string UserDirFromText(const std::string& text, const std::string& key,
                            const std::string& home) {
    std::istringstream lines(text);
    std::string line, found;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos || Trim(line.substr(0, eq)) != key) continue;
        std::string value = Trim(line.substr(eq + 1));
        // The value is quoted and either absolute or "$HOME/..."; backslash
        // escapes a quote or a backslash inside.
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        std::string unescaped;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            unescaped += value[i];
        }
        if (unescaped.rfind("$HOME", 0) == 0 && (unescaped.size() == 5 || unescaped[5] == '/'))
            found = home + unescaped.substr(5);
        else if (!unescaped.empty() && unescaped[0] == '/')
            found = unescaped;
        // The last valid line wins, as in the XDG tools.
    }
    return found;
}

std::optional<std::string> SpecialFolderPath(SpecialFolder folder) {
    if (folder == SpecialFolder::CommonDesktop) return std::nullopt;
    const std::string home = Home();
    const bool desktop = folder == SpecialFolder::Desktop;
    std::string text;
    if (ReadWholeFile(ConfigHome() + "/user-dirs.dirs", text)) {
        const std::string configured =
            UserDirFromText(text, desktop ? "XDG_DESKTOP_DIR" : "XDG_DOCUMENTS_DIR", home);
        // xdg-user-dirs sets a folder it gave up on to $HOME itself.
        if (IsFolder(configured)) return configured;
    }
    const std::string fallback = home + (desktop ? "/Desktop" : "/Documents");
    if (IsFolder(fallback)) return fallback;
    return home;
}

std::string SpecialFolderName(SpecialFolder folder) {
    const auto path = SpecialFolderPath(folder);
    if (!path) return "";
    std::string p = *path;
    if (p == Home()) return "Home";
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const auto slash = p.find_last_of('/');
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    return name.empty() ? p : name;
}

} // namespace platform
