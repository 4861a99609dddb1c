#include "lib/settings/settings_store.h"

#include "base/platform/file_lock.h"
#include "base/platform/paths.h"
#include "lib/settings/ini_text.h"
#include "lib/settings/profile_text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace settings {

namespace {

std::string g_company = "Zentrovia";
std::string g_fileFilter = kDefaultFileFilter;
std::string g_lastDirectory;
bool g_lastDirectoryFrozen = false;

// The profile as read: its settings, and whether the file exists but could
// not be read in full (so that it must not be written over).
struct Profile {
    IniText ini;
    bool damaged = false;
};

// Reads what can be read of the file; values keep their bytes.
Profile LoadProfile(const std::string& path) {
    std::string bytes;
    bool complete = platform::ReadWholeFile(path, bytes);
    if (!complete && !platform::PathExists(path)) complete = true; // a first run
    const ProfileText text = ReadableProfileLines(bytes, complete);
    return Profile{IniText(text.lines), !complete || text.damaged};
}

// Runs fn over the profile under the cross-process lock. With write set, the
// (possibly changed) profile is saved atomically afterwards; a file that
// could not be read in full is first kept as Songdock.conf.damaged.
bool WithProfile(bool write, const std::function<void(IniText&)>& fn) {
    const std::string path = ProfilePath();
    if (write) {
        const auto slash = path.find_last_of('/');
        if (!platform::MakeDirectories(path.substr(0, slash))) return false;
    }
    // Writers serialise their read-modify-replace; readers need no lock
    // because the file is only ever replaced whole.
    std::unique_ptr<platform::FileLock> lock;
    if (write) lock = std::make_unique<platform::FileLock>(path + ".lock");
    Profile profile = LoadProfile(path);
    fn(profile.ini);
    if (!write) return true;
    if (profile.damaged && !platform::KeepFileAs(path, path + ".damaged")) return false;
    return platform::WriteFileAtomically(path, profile.ini.Text());
}

bool ParseInt(const std::string& text, int& value) {
    const char* begin = text.c_str();
    if (*begin == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(begin, &end, 10);
    if (errno != 0 || end == begin || *end != '\0') return false;
    if (parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

std::string Name(const char* text) {
    return text ? text : "";
}

bool ReadRaw(const IniText& config, const char* section, const char* key, std::string& out) {
    std::optional<std::string> value = config.Read(Name(section), Name(key));
    if (!value) return false;
    out = std::move(*value);
    return true;
}

// Numbers are written as decimal text.
void WriteNumber(IniText& config, const char* section, const char* key, long value) {
    config.Write(Name(section), Name(key), std::to_string(value));
}

int ReadIntFrom(const IniText& config, const char* section, const char* key, int def) {
    std::string raw;
    int value = def;
    if (ReadRaw(config, section, key, raw) && ParseInt(raw, value)) return value;
    return def;
}

// Length of the longest prefix of text that fits in limit - 1 bytes and
// ends on a UTF-8 character boundary.
size_t Utf8PrefixLength(const std::string& text, size_t limit) {
    if (limit == 0) return 0;
    size_t n = std::min(text.size(), limit - 1);
    if (n == text.size()) return n;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

} // namespace

void SetCompanyKey(const std::string& company) {
    g_company = company;
}

std::string ProfilePath() {
    return platform::ConfigHome() + "/" + g_company + "/Songdock.conf";
}

int GetInt(const char* section, const char* key, int def) {
    int value = def;
    WithProfile(false, [&](IniText& c) { value = ReadIntFrom(c, section, key, def); });
    return value;
}

bool WriteInt(const char* section, const char* key, int value) {
    return WithProfile(true, [&](IniText& c) { WriteNumber(c, section, key, value); });
}

std::string GetText(const char* section, const char* key, const std::string& def) {
    std::string value = def;
    WithProfile(false, [&](IniText& c) {
        if (!ReadRaw(c, section, key, value)) value = def;
    });
    return value;
}

bool WriteText(const char* section, const char* key, const std::string& value) {
    return WithProfile(true, [&](IniText& c) {
        c.Write(Name(section), Name(key), value);
    });
}

std::string CutUtf8(const std::string& text, size_t limit) {
    return text.substr(0, Utf8PrefixLength(text, limit));
}

size_t GetTextInto(const char* section, const char* key, const char* def, char* buffer,
                   size_t limit) {
    if (!buffer || limit == 0) return 0;
    const std::string value = GetText(section, key, def ? def : "");
    const size_t n = Utf8PrefixLength(value, limit);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

const char* PaneSectionName(int pane) {
    static char buffer[100];
    if (pane == -1) {
        std::snprintf(buffer, sizeof buffer, "%s", kDesktopSection);
    } else {
        std::snprintf(buffer, sizeof buffer, "Mp3Mem_%d", pane);
    }
    return buffer;
}

const char* PaneKeyName(const char* base, int index) {
    static char buffer[100];
    std::snprintf(buffer, sizeof buffer, "%s_%d", base ? base : "", index);
    return buffer;
}

int GetColumnWidth(int pane, int column, int def) {
    const std::string section = PaneSectionName(pane);
    return GetInt(section.c_str(), PaneKeyName(kSubItemWidth, column), def);
}

bool WriteColumnWidth(int pane, int column, int width) {
    const std::string section = PaneSectionName(pane);
    return WriteInt(section.c_str(), PaneKeyName(kSubItemWidth, column), width);
}

int GetSortKey(int pane) {
    return GetInt(PaneSectionName(pane), kSortKey, 0);
}

int GetSortAscendent(int pane, int def) {
    return GetInt(PaneSectionName(pane), kSortAscendent, def);
}

bool WriteSort(int pane, int column, int ascending) {
    const std::string section = PaneSectionName(pane);
    return WithProfile(true, [&](IniText& c) {
        WriteNumber(c, section.c_str(), kSortKey, column);
        WriteNumber(c, section.c_str(), kSortAscendent, ascending);
    });
}

int GetWindowState() {
    return GetInt(kAppSection, kWindowState, kDefaultWindowState);
}
bool WriteWindowState(int state) {
    return WriteInt(kAppSection, kWindowState, state);
}

std::optional<WindowPlace> GetWindowPlace() {
    WindowPlace place;
    WithProfile(false, [&](IniText& c) {
        place.left = ReadIntFrom(c, kAppSection, kWindowLeft, 0);
        place.top = ReadIntFrom(c, kAppSection, kWindowTop, 0);
        place.width = ReadIntFrom(c, kAppSection, kWindowWidth, 0);
        place.height = ReadIntFrom(c, kAppSection, kWindowHeight, 0);
    });
    if (place.width < 1 || place.height < 1) return std::nullopt;
    return place;
}

bool WriteWindowPlace(const WindowPlace& place) {
    return WithProfile(true, [&](IniText& c) {
        WriteNumber(c, kAppSection, kWindowLeft, place.left);
        WriteNumber(c, kAppSection, kWindowTop, place.top);
        WriteNumber(c, kAppSection, kWindowWidth, place.width);
        WriteNumber(c, kAppSection, kWindowHeight, place.height);
    });
}

Timeouts GetTimeouts() {
    Timeouts t;
    WithProfile(false, [&](IniText& c) {
        t.receive = ReadIntFrom(c, kDeviceSection, kTimeoutRecv, kDefaultTimeoutRecv);
        t.send = ReadIntFrom(c, kDeviceSection, kTimeoutSend, kDefaultTimeoutSend);
        t.format = ReadIntFrom(c, kDeviceSection, kTimeoutFormat, kDefaultTimeoutFormat);
    });
    return t;
}

bool WriteTimeouts(const Timeouts& t) {
    return WithProfile(true, [&](IniText& c) {
        WriteNumber(c, kDeviceSection, kTimeoutRecv, t.receive);
        WriteNumber(c, kDeviceSection, kTimeoutSend, t.send);
        WriteNumber(c, kDeviceSection, kTimeoutFormat, t.format);
    });
}

RawDataRange GetRawDataRange() {
    RawDataRange r;
    WithProfile(false, [&](IniText& c) {
        // Stored as 32-bit numbers; read back as unsigned like the registry's DWORDs.
        r.addr = static_cast<unsigned>(
            ReadIntFrom(c, kSongdockSection, kRawDataAddr, static_cast<int>(kDefaultRawDataAddr)));
        r.count = static_cast<unsigned>(ReadIntFrom(c, kSongdockSection, kRawDataCount,
                                                    static_cast<int>(kDefaultRawDataCount)));
    });
    return r;
}

bool WriteRawDataRange(const RawDataRange& r) {
    return WithProfile(true, [&](IniText& c) {
        WriteNumber(c, kSongdockSection, kRawDataAddr, static_cast<int>(r.addr));
        WriteNumber(c, kSongdockSection, kRawDataCount, static_cast<int>(r.count));
    });
}

int GetROMSelect() {
    return GetInt(kSongdockSection, kROMSelect, 0);
}
bool WriteROMSelect(int mode) {
    return WriteInt(kSongdockSection, kROMSelect, mode);
}
int GetAdpcmConvert() {
    return GetInt(kAdpcmSection, kConvert, 0);
}
bool WriteAdpcmConvert(int value) {
    return WriteInt(kAdpcmSection, kConvert, value);
}
int GetQdxConvert() {
    return GetInt(kQdxSection, kConvert, 0);
}
bool WriteQdxConvert(int value) {
    return WriteInt(kQdxSection, kConvert, value);
}

bool GetVerifyCopies() {
    return GetInt(kSongdockSection, kVerifyCopies, 0) == 1;
}
bool WriteVerifyCopies(bool verify) {
    return WriteInt(kSongdockSection, kVerifyCopies, verify ? 1 : 0);
}

std::string GetPlayerCodePage() {
    return GetText(kSongdockSection, kPlayerCodePage, "");
}
bool WritePlayerCodePage(const std::string& codePage) {
    return WriteText(kSongdockSection, kPlayerCodePage, codePage);
}

size_t GetSongdockText(const char* key, char* buffer, size_t limit) {
    return GetTextInto(kSongdockSection, key, "", buffer, limit);
}

bool WriteSongdockText(const char* key, const std::string& value) {
    return WriteText(kSongdockSection, key, value);
}

void LoadFileFilter() {
    g_fileFilter = GetText(kAppSection, kFileListFilter, kDefaultFileFilter);
}
const std::string& GetFileFilter() {
    return g_fileFilter;
}
void SetFileFilter(const std::string& filter) {
    g_fileFilter = filter;
}
void SaveFileFilter() {
    WriteText(kAppSection, kFileListFilter, g_fileFilter);
}

void LoadLastDirectory() {
    g_lastDirectory = GetText(kDesktopSection, kLastDirectory, platform::CurrentDirectory());
}
const std::string& GetLastDirectory() {
    return g_lastDirectory;
}
void SetLastDirectory(const std::string& path) {
    if (!g_lastDirectoryFrozen) g_lastDirectory = path;
}
void SetLastDirectoryFrozen(bool frozen) {
    g_lastDirectoryFrozen = frozen;
}
bool IsLastDirectoryFrozen() {
    return g_lastDirectoryFrozen;
}
void SaveLastDirectory() {
    WriteText(kDesktopSection, kLastDirectory, g_lastDirectory);
}

} // namespace settings
