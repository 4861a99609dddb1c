#include "base/platform/paths.h"

#include "base/platform/wide_text.h"

#include <cerrno>
#include <initializer_list>
#include <vector>
#include <windows.h>

namespace platform {

namespace {

// An environment variable read as UTF-16, so that a user name outside the
// ANSI code page arrives whole; "" when unset.
std::string Environment(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got);
    return Utf8Text(value);
}

// A folder without its trailing separators (a drive's root keeps its own).
std::string Trimmed(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

std::string FirstSet(std::initializer_list<const wchar_t*> names, const char* fallback) {
    for (const wchar_t* name : names)
        if (std::string value = Environment(name); !value.empty()) return Trimmed(value);
    return fallback;
}

} // namespace

// The roaming application data (%APPDATA%) holds settings; the local one
// (%LOCALAPPDATA%) holds data that stays on this PC, as $XDG_DATA_HOME does.
std::string ConfigHome() {
    return FirstSet({L"APPDATA", L"USERPROFILE"}, "C:\\");
}

std::string DataHome() {
    return FirstSet({L"LOCALAPPDATA", L"APPDATA", L"USERPROFILE"}, "C:\\");
}

std::string TempDir() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
    if (n == 0 || n > MAX_PATH + 1) return FirstSet({L"TEMP", L"TMP"}, "C:\\");
    return Trimmed(Utf8Text(std::wstring_view(buffer, n)));
}

std::string CurrentDirectory() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return "";
    std::wstring buffer(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(got);
    return Utf8Text(buffer);
}

bool MakeDirectories(const std::string& path) {
    if (path.empty()) return false;
    const std::wstring wide = WideText(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
        errno = ENOTDIR;
        return false;
    }
    const auto slash = path.find_last_of("/\\");
    // Down to a drive ("C:") or a share's root, which exist or do not.
    if (slash != std::string::npos && slash > 0 && path[slash - 1] != ':' &&
        !MakeDirectories(path.substr(0, slash)))
        return false;
    if (CreateDirectoryW(wide.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
    return false;
}

bool PathExists(const std::string& path) {
    return !path.empty() && GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ExecutableDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return "";
        if (n < buffer.size()) {
            const std::string path = Utf8Text(std::wstring_view(buffer.data(), n));
            const auto slash = path.find_last_of("/\\");
            return slash == std::string::npos ? "" : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
