// Scripted fake of the device library; see fake_kd5200usb.h.
#include "fake_kd5200usb.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Outcome {
    int32_t result = 1;
    int32_t error = 0;
    int32_t windowsError = 0;
    bool setsError = false;
};

struct Memory {
    KD5200_MEMINFO info{};
    std::vector<KD5200_DIRENTRY> entries;
};

KD5200_HANDLE const kHandle = reinterpret_cast<KD5200_HANDLE>(0x5200);

struct State {
    bool loaded = false;
    std::string log;
    std::map<std::string, std::deque<Outcome>> once;
    std::map<std::string, Outcome> always;
    Memory memories[2];
    std::string version = "ZENTROVIA KD5200 FILE SYSTEM DEC 07 2026 10:00:00 1.0 FAKE";
    bool hasVersion = true;
    KD5200_FONTINFO font{};
    int32_t error = 0;
    int32_t windowsError = 0;
    int32_t receive = 0, send = 0;
    bool open = false;
};

State& S() {
    static State state;
    return state;
}

void AddScriptLine(const std::string& line) {
    std::istringstream in(line);
    std::string name;
    Outcome outcome;
    if (!(in >> name >> outcome.result)) return;
    if (in >> outcome.error) outcome.setsError = true;
    in >> outcome.windowsError;
    if (!name.empty() && name.back() == '*') {
        name.pop_back();
        S().always[name] = outcome;
    } else {
        S().once[name].push_back(outcome);
    }
}

void LoadScriptFile() {
    const char* path = std::getenv("FAKE_KD5200_SCRIPT");
    if (!path) return;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        AddScriptLine(line);
}

void EnsureLoaded() {
    if (S().loaded) return;
    S().loaded = true;
    LoadScriptFile();
}

// The scripted outcome of one call of name; applies its error codes.
int32_t Result(const char* name) {
    EnsureLoaded();
    Outcome outcome;
    auto& queue = S().once[name];
    if (!queue.empty()) {
        outcome = queue.front();
        queue.pop_front();
    } else if (auto it = S().always.find(name); it != S().always.end()) {
        outcome = it->second;
    }
    if (outcome.result == 0 || outcome.setsError) {
        S().error = outcome.error;
        S().windowsError = outcome.windowsError;
    }
    return outcome.result;
}

std::string Arg(int32_t v) {
    return std::to_string(v);
}
std::string Arg(uint32_t v) {
    return std::to_string(v);
}
std::string Arg(const char* s) {
    if (!s) return "null";
    std::string quoted(1, '"');
    quoted += s;
    quoted += '"';
    return quoted;
}
std::string Arg(const void* p) {
    if (!p) return "null";
    return p == kHandle ? "h" : "ptr";
}

template <typename... Args> void Record(const char* name, Args... args) {
    EnsureLoaded();
    std::string line = name;
    line += '(';
    bool first = true;
    ((line += (first ? "" : ", ") + Arg(args), first = false), ...);
    line += ")\n";
    S().log += line;
    if (const char* path = std::getenv("FAKE_KD5200_LOG")) {
        if (FILE* f = std::fopen(path, "a")) {
            std::fputs(line.c_str(), f);
            std::fclose(f);
        }
    }
}

bool ValidMemory(int32_t memory) {
    return memory == 0 || memory == 1;
}

} // namespace

FAKE_EXPORT void FakeKD5200_Reset(void) {
    S() = State{};
    S().loaded = true;
    LoadScriptFile();
}

FAKE_EXPORT void FakeKD5200_Script(const char* line) {
    EnsureLoaded();
    if (line) AddScriptLine(line);
}

FAKE_EXPORT const char* FakeKD5200_Log(void) {
    return S().log.c_str();
}

FAKE_EXPORT void FakeKD5200_SetMemory(int32_t memory, const KD5200_MEMINFO* info,
                                      const KD5200_DIRENTRY* entries, int32_t count) {
    if (!ValidMemory(memory)) return;
    Memory& m = S().memories[memory];
    m.info = info ? *info : KD5200_MEMINFO{};
    m.entries.assign(entries, entries + (entries && count > 0 ? count : 0));
}

FAKE_EXPORT void FakeKD5200_SetFirmwareVersion(const char* text) {
    S().hasVersion = text != nullptr;
    S().version = text ? text : "";
}

FAKE_EXPORT void FakeKD5200_SetFont(const KD5200_FONTINFO* font) {
    S().font = font ? *font : KD5200_FONTINFO{};
}

FAKE_EXPORT void FakeKD5200_GetTimeouts(int32_t* receiveMs, int32_t* sendMs) {
    if (receiveMs) *receiveMs = S().receive;
    if (sendMs) *sendMs = S().send;
}

FAKE_EXPORT int32_t KD5200_Open(KD5200_HANDLE* handle) {
    Record("KD5200_Open", static_cast<const void*>(handle));
    const int32_t r = Result("KD5200_Open");
    if (r && handle) {
        *handle = kHandle;
        S().open = true;
    }
    return r;
}

FAKE_EXPORT int32_t KD5200_IsValidHandle(KD5200_HANDLE handle) {
    Record("KD5200_IsValidHandle", static_cast<const void*>(handle));
    EnsureLoaded();
    if (!S().once["KD5200_IsValidHandle"].empty() || S().always.count("KD5200_IsValidHandle"))
        return Result("KD5200_IsValidHandle");
    return handle == kHandle && S().open;
}

FAKE_EXPORT int32_t KD5200_TestConnection(void) {
    Record("KD5200_TestConnection");
    return Result("KD5200_TestConnection");
}

FAKE_EXPORT int32_t KD5200_Close(KD5200_HANDLE handle) {
    Record("KD5200_Close", static_cast<const void*>(handle));
    S().open = false;
    return Result("KD5200_Close");
}

FAKE_EXPORT int32_t KD5200_Free(KD5200_HANDLE handle) {
    Record("KD5200_Free", static_cast<const void*>(handle));
    return Result("KD5200_Free");
}

FAKE_EXPORT int32_t KD5200_SetTimeout(int32_t receiveMs, int32_t sendMs) {
    Record("KD5200_SetTimeout", receiveMs, sendMs);
    S().receive = receiveMs;
    S().send = sendMs;
    return Result("KD5200_SetTimeout");
}

FAKE_EXPORT int32_t KD5200_Refresh(KD5200_HANDLE handle, int32_t memory,
                                   KD5200_MEMINFO* information, KD5200_DIRENTRY* entries,
                                   int32_t* count) {
    Record("KD5200_Refresh", static_cast<const void*>(handle), memory, count ? *count : -1);
    const int32_t r = Result("KD5200_Refresh");
    if (!r || !ValidMemory(memory) || !information || !entries || !count) return r;
    const Memory& m = S().memories[memory];
    const int32_t n = std::min<int32_t>(*count, static_cast<int32_t>(m.entries.size()));
    *information = m.info;
    if (n > 0) std::memcpy(entries, m.entries.data(), sizeof(KD5200_DIRENTRY) * n);
    *count = n;
    return r;
}

FAKE_EXPORT void KD5200_SetError(int32_t code) {
    Record("KD5200_SetError", code);
    S().error = code;
}

FAKE_EXPORT int32_t KD5200_GetError(void) {
    EnsureLoaded();
    return S().error;
}

FAKE_EXPORT int32_t KD5200_GetWindowsError(void) {
    EnsureLoaded();
    return S().windowsError;
}

FAKE_EXPORT void KD5200_DispError(KD5200_HWND parent, int32_t code, int32_t windowsError) {
    Record("KD5200_DispError", static_cast<const void*>(parent), code, windowsError);
}

FAKE_EXPORT int32_t KD5200_Upload(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                  int32_t entry, const char* pcPath, const char* playerName,
                                  uint32_t size, int32_t conversion) {
    Record("KD5200_Upload", static_cast<const void*>(parent), static_cast<const void*>(handle),
           memory, entry, pcPath, playerName, size, conversion);
    return Result("KD5200_Upload");
}

FAKE_EXPORT int32_t KD5200_Download(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                    const char* pcPath) {
    Record("KD5200_Download", static_cast<const void*>(parent), static_cast<const void*>(handle),
           memory, pcPath);
    return Result("KD5200_Download");
}

FAKE_EXPORT int32_t KD5200_Delete(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                  int32_t entry, const char* shownName) {
    Record("KD5200_Delete", static_cast<const void*>(parent), static_cast<const void*>(handle),
           memory, entry, shownName);
    return Result("KD5200_Delete");
}

FAKE_EXPORT int32_t KD5200_Replace(KD5200_HANDLE handle, int32_t memory, int32_t entry,
                                   int32_t neighbour) {
    Record("KD5200_Replace", static_cast<const void*>(handle), memory, entry, neighbour);
    return Result("KD5200_Replace");
}

FAKE_EXPORT int32_t KD5200_Rename(KD5200_HANDLE handle, int32_t memory, int32_t entry,
                                  const char* newName, KD5200_DIRENTRY* cachedEntry) {
    Record("KD5200_Rename", static_cast<const void*>(handle), memory, entry, newName,
           static_cast<const void*>(cachedEntry));
    return Result("KD5200_Rename");
}

FAKE_EXPORT int32_t KD5200_Format(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory) {
    Record("KD5200_Format", static_cast<const void*>(parent), static_cast<const void*>(handle),
           memory);
    return Result("KD5200_Format");
}

FAKE_EXPORT int32_t KD5200_FormatLow(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory) {
    Record("KD5200_FormatLow", static_cast<const void*>(parent), static_cast<const void*>(handle),
           memory);
    return Result("KD5200_FormatLow");
}

FAKE_EXPORT int32_t KD5200_UpgradeFirmware(KD5200_HWND parent, KD5200_HANDLE handle, int32_t target,
                                           int32_t romSelect, const char* imagePath,
                                           const char* chosenPath) {
    Record("KD5200_UpgradeFirmware", static_cast<const void*>(parent),
           static_cast<const void*>(handle), target, romSelect, imagePath, chosenPath);
    return Result("KD5200_UpgradeFirmware");
}

FAKE_EXPORT const char* KD5200_GetFirmwareVersionString(void) {
    Record("KD5200_GetFirmwareVersionString");
    return S().hasVersion ? S().version.c_str() : nullptr;
}

FAKE_EXPORT int32_t KD5200_GetFontInfo(KD5200_HANDLE handle, KD5200_FONTINFO* font) {
    Record("KD5200_GetFontInfo", static_cast<const void*>(handle));
    const int32_t r = Result("KD5200_GetFontInfo");
    if (r && font) *font = S().font;
    return r;
}

FAKE_EXPORT int32_t KD5200_DownloadFont(KD5200_HWND parent, KD5200_HANDLE handle,
                                        const char* fontPath) {
    Record("KD5200_DownloadFont", static_cast<const void*>(parent),
           static_cast<const void*>(handle), fontPath);
    return Result("KD5200_DownloadFont");
}

FAKE_EXPORT int32_t KD5200_EraseFont(KD5200_HANDLE handle) {
    Record("KD5200_EraseFont", static_cast<const void*>(handle));
    return Result("KD5200_EraseFont");
}

FAKE_EXPORT int32_t KD5200_UploadFont(KD5200_HWND parent, KD5200_HANDLE handle, const char* pcPath,
                                      int32_t reserved, int32_t fontSize) {
    Record("KD5200_UploadFont", static_cast<const void*>(parent), static_cast<const void*>(handle),
           pcPath, reserved, fontSize);
    return Result("KD5200_UploadFont");
}

FAKE_EXPORT int32_t KD5200_UploadRawData(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                         int32_t firstBlock, int32_t blockCount, const char* pcPath,
                                         int32_t reserved, int32_t bytes) {
    Record("KD5200_UploadRawData", static_cast<const void*>(parent),
           static_cast<const void*>(handle), memory, firstBlock, blockCount, pcPath, reserved,
           bytes);
    return Result("KD5200_UploadRawData");
}
