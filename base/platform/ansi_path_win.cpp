#include "base/platform/ansi_path.h"

#include "base/platform/wide_text.h"
#include "base/platform/windows_errno.h"

#include <windows.h>

#include <atomic>
#include <string_view>

namespace platform {

namespace {

std::wstring FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), n);
    return wide;
}

// The text in the ANSI code page, when that code page holds all of it. The
// conversion puts a stand-in (or a look-alike) for a character it lacks, so
// the bytes are read back to be sure.
bool ToAnsi(const std::wstring& wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    bytes.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, bytes.data(), n, nullptr, nullptr);
    return FromAnsi(bytes) == wide;
}

// The short (8.3) form of an existing path, or "" when it has none.
std::wstring ShortPath(const std::wstring& path) {
    const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring out(n, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), out.data(), n);
    if (written == 0 || written >= n) return {};
    out.resize(written);
    return out;
}

// The path in the ANSI code page, else its short form there.
bool AnsiOrShort(const std::wstring& path, std::string& bytes) {
    return ToAnsi(path, bytes) || (ToAnsi(ShortPath(path), bytes) && !bytes.empty());
}

// Where the folder part of a path ends: its last separator, or after "C:".
size_t NameStart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) return slash + 1;
    return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// A name the ANSI code page holds for a file written before it is renamed.
std::wstring TemporaryName(const std::wstring& folder) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        const std::wstring name = L"~kd" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter) + L".tmp";
        if (GetFileAttributesW((folder + name).c_str()) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

} // namespace

AnsiPath::AnsiPath(const std::string& path, AnsiUse use) {
    const std::wstring wide = WideText(path);
    if (ToAnsi(wide, bytes_)) {
        text_ = path;
        return;
    }
    if (use == AnsiUse::kRead) {
        ok_ = AnsiOrShort(wide, bytes_);
    } else {
        // The folder may go by its short form; the name is kept, or, for a
        // file to be written, stands in as a temporary.
        const size_t start = NameStart(wide);
        const std::wstring folder = wide.substr(0, start);
        std::wstring name = wide.substr(start);
        std::string folderBytes;
        std::string nameBytes;
        // A root ("C:\", "\") keeps its separator; any other folder is
        // shortened without it.
        const bool root = start <= 1 || folder.back() == L':' || folder[start - 2] == L':';
        if (root)
            ok_ = ToAnsi(folder, folderBytes);
        else if ((ok_ = AnsiOrShort(folder.substr(0, start - 1), folderBytes)))
            folderBytes += static_cast<char>(folder[start - 1]);
        if (ok_ && !ToAnsi(name, nameBytes)) {
            if (use == AnsiUse::kWrite) {
                name = TemporaryName(folder);
                ToAnsi(name, nameBytes);
                temporary_ = Utf8Text(folder + name);
                wanted_ = path;
            } else {
                ok_ = false;
            }
        }
        bytes_ = folderBytes + nameBytes;
    }
    text_ = ok_ ? Utf8Text(FromAnsi(bytes_)) : path;
}

AnsiPath::~AnsiPath() {
    if (!temporary_.empty()) DeleteFileW(WideText(temporary_).c_str());
}

int AnsiPath::Finish() {
    if (temporary_.empty()) return 0;
    if (!MoveFileExW(WideText(temporary_).c_str(), WideText(wanted_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ErrnoFromWindowsError(GetLastError());
    temporary_.clear();
    return 0;
}

std::string TextFromAnsiPath(const char* bytes) {
    return bytes ? Utf8Text(FromAnsi(bytes)) : std::string();
}

} // namespace platform
