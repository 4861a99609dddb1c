// Listing a folder for the desktop view through FindFirstFileExW, as
// Explorer lists it: hidden and system files are left out too.
#include "views/desktop/desktop_rows.h"

#include "base/platform/wide_text.h"
#include "base/platform/windows_errno.h"

#include <windows.h>

#include <cerrno>
#include <cwctype>

namespace desktop {

namespace {

// * and ? against a name, letter case ignored.
bool Matches(const wchar_t* name, const wchar_t* pattern) {
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*name) {
        if (*pattern == L'?' || (*pattern != L'*' && std::towlower(*pattern) == std::towlower(*name))) {
            ++name;
            ++pattern;
        } else if (*pattern == L'*') {
            star = pattern++;
            resume = name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == L'*')
        ++pattern;
    return *pattern == L'\0';
}

int ErrnoOf(DWORD error) {
    return platform::ErrnoFromWindowsError(error);
}

// 100-nanosecond ticks since 1601 as seconds since 1970.
std::int64_t UnixSeconds(const FILETIME& time) {
    const ULONGLONG ticks = (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

} // namespace

bool MatchesFilter(const std::string& name, const std::string& filter) {
    if (filter.empty() || filter == "*" || filter == "*.*") return true;
    return Matches(platform::WideText(name).c_str(), platform::WideText(filter).c_str());
}

int ListFolder(const std::string& folder, const std::string& filter,
               std::vector<DesktopRow>& rows) {
    std::wstring pattern = platform::WideText(folder);
    if (!pattern.empty() && pattern.back() != L'/' && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty drive has not even "." to list.
        const DWORD attributes = GetFileAttributesW(platform::WideText(folder).c_str());
        if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return 0;
        return ErrnoOf(error);
    }
    std::vector<DesktopRow> files;
    int folders = 0;
    int error = 0;
    do {
        if (entry.cFileName[0] == L'.') continue;
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        DesktopRow row;
        row.name = platform::Utf8Text(entry.cFileName);
        row.directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!row.directory && !MatchesFilter(row.name, filter)) continue;
        row.path = JoinPath(folder, row.name);
        row.size = row.directory ? 0 : (std::uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        row.mtime = UnixSeconds(entry.ftLastWriteTime);
        if (row.directory) {
            row.index = folders++;
            rows.push_back(std::move(row));
        } else {
            row.index = int(files.size());
            files.push_back(std::move(row));
        }
    } while (FindNextFileW(find, &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) error = ErrnoOf(GetLastError());
    FindClose(find);
    rows.insert(rows.end(), std::make_move_iterator(files.begin()),
                std::make_move_iterator(files.end()));
    return error;
}

} // namespace desktop
