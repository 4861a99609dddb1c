#include "base/platform/shortcut.h"

#include "base/platform/paths.h"

#include <climits>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

namespace platform {

namespace {

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

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct TextFree {
    void operator()(gchar* text) const { g_free(text); }
};
using Text = std::unique_ptr<gchar, TextFree>;

// The local file a desktop entry of Type=Link points to, or "".
std::string ResolveDesktopLink(const std::string& path) {
    std::unique_ptr<GKeyFile, KeyFileFree> file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_NONE, nullptr)) return "";
    const Text type(g_key_file_get_string(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                                          G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr));
    if (!type || std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_LINK) != 0) return "";
    const Text url(g_key_file_get_string(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                                         G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
    return url ? LocalPathFromFileUrl(url.get()) : "";
}

} // namespace

std::string LocalPathFromFileUrl(const std::string& url) {
    gchar* host = nullptr;
    const Text path(g_filename_from_uri(url.c_str(), &host, nullptr));
    const Text hostName(host);
    // An authority, when given, must be this machine.
    if (!path || (hostName && std::strcmp(hostName.get(), "localhost") != 0)) return "";
    return path.get();
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
