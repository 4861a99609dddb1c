#include "base/platform/shortcut.h"

#include "base/platform/paths.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return CurrentDirectory();
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ResolveSymlink(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) return resolved;
    // A dangling link still names its target, so that the caller can say
    // which file is missing.
    char target[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return "";
    std::string t(target, static_cast<size_t>(n));
    if (t[0] == '/') return t;
    std::string folder = FolderOf(path);
    if (folder.back() != '/') folder += '/';
    return folder + t;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Unescapes a desktop-entry string value (\s, \n, \t, \r, \\).
std::string UnescapeValue(const std::string& v) {
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            switch (v[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                out += v[i];
                break;
            }
        } else {
            out += v[i];
        }
    }
    return out;
}

std::string ResolveDesktopLink(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return "";
    std::istringstream lines(text);
    std::string line, group, type, url;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[') {
            group = line;
            continue;
        }
        if (group != "[Desktop Entry]") continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trim(line.substr(0, eq));
        const std::string value = UnescapeValue(Trim(line.substr(eq + 1)));
        if (key == "Type")
            type = value;
        else if (key == "URL")
            url = value;
    }
    if (type != "Link") return "";
    return LocalPathFromFileUrl(url);
}

} // namespace

std::string LocalPathFromFileUrl(const std::string& url) {
    if (url.size() < 7 || url.compare(0, 7, "file://") != 0) return "";
    std::string rest = url.substr(7);
    // An authority, when given, must be this machine.
    if (rest.empty() || rest[0] != '/') {
        const auto slash = rest.find('/');
        if (slash == std::string::npos || rest.substr(0, slash) != "localhost") return "";
        rest = rest.substr(slash);
    }
    if (const auto mark = rest.find_first_of("?#"); mark != std::string::npos) rest.erase(mark);
    std::string out;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size()) {
            const int hi = HexValue(rest[i + 1]);
            const int lo = HexValue(rest[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += rest[i];
    }
    if (out.find('\0') != std::string::npos) return "";
    return out;
}

std::string ResolveShortcut(const std::string& path) {
    if (path.empty()) return "";
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return "";
    if (S_ISLNK(st.st_mode)) return ResolveSymlink(path);
    if (S_ISREG(st.st_mode) && EndsWith(path, ".desktop")) return ResolveDesktopLink(path);
    return "";
}

} // namespace platform
