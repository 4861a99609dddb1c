#include "lib/settings/settings_store.h"

#include "base/platform/paths.h"
#include "lib/settings/profile_store.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace settings {

namespace {

std::string g_company = "Zentrovia";
std::string g_fileFilter = kDefaultFileFilter;
std::string g_lastDirectory;
bool g_lastDirectoryFrozen = false;

// Runs fn over the stored settings; with write set, what fn wrote is kept.
bool WithProfile(bool write, const std::function<void(ProfileValues&)>& fn) {
    return settings::WithProfile(g_company, write, fn);
}

std::string Name(const char* text) {
    return text ? text : "";
}

bool ReadRaw(const ProfileValues& config, const char* section, const char* key, std::string& out) {
    std::optional<std::string> value = config.Read(Name(section), Name(key));
    if (!value) return false;
    out = std::move(*value);
    return true;
}

void WriteNumber(ProfileValues& config, const char* section, const char* key, int value) {
    config.WriteInt(Name(section), Name(key), value);
}

int ReadIntFrom(const ProfileValues& config, const char* section, const char* key, int def) {
    return config.ReadInt(Name(section), Name(key)).value_or(def);
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
    return ProfileLocation(g_company);
}

int GetInt(const char* section, const char* key, int def) {
    int value = def;
    WithProfile(false, [&](ProfileValues& c) { value = ReadIntFrom(c, section, key, def); });
    return value;
}

bool WriteInt(const char* section, const char* key, int value) {
    return WithProfile(true, [&](ProfileValues& c) { WriteNumber(c, section, key, value); });
}

std::string GetText(const char* section, const char* key, const std::string& def) {
    std::string value = def;
    WithProfile(false, [&](ProfileValues& c) {
        if (!ReadRaw(c, section, key, value)) value = def;
    });
    return value;
}

bool WriteText(const char* section, const char* key, const std::string& value) {
    return WithProfile(true, [&](ProfileValues& c) {
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
    return WithProfile(true, [&](ProfileValues& c) {
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
    WithProfile(false, [&](ProfileValues& c) {
        place.left = ReadIntFrom(c, kAppSection, kWindowLeft, 0);
        place.top = ReadIntFrom(c, kAppSection, kWindowTop, 0);
        place.width = ReadIntFrom(c, kAppSection, kWindowWidth, 0);
        place.height = ReadIntFrom(c, kAppSection, kWindowHeight, 0);
    });
    if (place.width < 1 || place.height < 1) return std::nullopt;
    return place;
}

bool WriteWindowPlace(const WindowPlace& place) {
    return WithProfile(true, [&](ProfileValues& c) {
        WriteNumber(c, kAppSection, kWindowLeft, place.left);
        WriteNumber(c, kAppSection, kWindowTop, place.top);
        WriteNumber(c, kAppSection, kWindowWidth, place.width);
        WriteNumber(c, kAppSection, kWindowHeight, place.height);
    });
}

Timeouts GetTimeouts() {
    Timeouts t;
    WithProfile(false, [&](ProfileValues& c) {
        t.receive = ReadIntFrom(c, kDeviceSection, kTimeoutRecv, kDefaultTimeoutRecv);
        t.send = ReadIntFrom(c, kDeviceSection, kTimeoutSend, kDefaultTimeoutSend);
        t.format = ReadIntFrom(c, kDeviceSection, kTimeoutFormat, kDefaultTimeoutFormat);
    });
    return t;
}

bool WriteTimeouts(const Timeouts& t) {
    return WithProfile(true, [&](ProfileValues& c) {
        WriteNumber(c, kDeviceSection, kTimeoutRecv, t.receive);
        WriteNumber(c, kDeviceSection, kTimeoutSend, t.send);
        WriteNumber(c, kDeviceSection, kTimeoutFormat, t.format);
    });
}

RawDataRange GetRawDataRange() {
    RawDataRange r;
    WithProfile(false, [&](ProfileValues& c) {
        // Stored as 32-bit numbers; read back as unsigned like the registry's DWORDs.
        r.addr = static_cast<unsigned>(
            ReadIntFrom(c, kSongdockSection, kRawDataAddr, static_cast<int>(kDefaultRawDataAddr)));
        r.count = static_cast<unsigned>(ReadIntFrom(c, kSongdockSection, kRawDataCount,
                                                    static_cast<int>(kDefaultRawDataCount)));
    });
    return r;
}

bool WriteRawDataRange(const RawDataRange& r) {
    return WithProfile(true, [&](ProfileValues& c) {
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
