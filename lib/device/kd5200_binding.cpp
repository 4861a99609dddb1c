#include "lib/device/kd5200_binding.h"

#include "base/platform/ansi_path.h"
#include "base/platform/error_text.h"
#include "base/platform/install_layout.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/platform/shared_library.h"
#include "base/resources/strings.h"
#include "lib/device/device_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace device {

namespace {

const std::string kLibraryName = platform::LibraryFileName("libkd5200usb.so", "KD5200USB.dll");

// ---- Stand-ins: a library without a player -------------------------------

int32_t g_standInError = KD5200_ERR_NOT_CONNECTED;

int32_t Fail() {
    g_standInError = KD5200_ERR_NOT_CONNECTED;
    return 0;
}

int32_t KD5200_CALL StandInOpen(KD5200_HANDLE*) {
    return Fail();
}
int32_t KD5200_CALL StandInIsValidHandle(KD5200_HANDLE) {
    return 0;
}
int32_t KD5200_CALL StandInTestConnection() {
    return Fail();
}
int32_t KD5200_CALL StandInClose(KD5200_HANDLE) {
    return 1;
}
int32_t KD5200_CALL StandInFree(KD5200_HANDLE) {
    return 1;
}
int32_t KD5200_CALL StandInSetTimeout(int32_t, int32_t) {
    return 1;
}
int32_t KD5200_CALL StandInRefresh(KD5200_HANDLE, int32_t, KD5200_MEMINFO*, KD5200_DIRENTRY*, int32_t*) {
    return Fail();
}
void KD5200_CALL StandInSetError(int32_t code) {
    g_standInError = code;
}
int32_t KD5200_CALL StandInGetError() {
    return g_standInError;
}
int32_t KD5200_CALL StandInGetWindowsError() {
    return 0;
}

// Shows what a library would show for the code; without a library every
// failure comes down to "no player".
void KD5200_CALL StandInDispError(KD5200_HWND parent, int32_t code, int32_t windowsError) {
    std::string text;
    if (code == KD5200_ERR_NOT_CONNECTED) {
        const char* notConnected = strings::Load(sid::kPlayerNotConnected);
        text = notConnected ? notConnected : "";
    } else {
        text = strings::Tr("Device error ") + std::to_string(code) + ".";
    }
    if (windowsError != 0) {
        const std::string system = platform::SystemErrorText(windowsError);
        if (!system.empty()) text += "\n" + system;
    }
    platform::MessageBox(parent, text, "", platform::kMbOk | platform::kMbIconWarning);
}

int32_t KD5200_CALL StandInUpload(KD5200_HWND, KD5200_HANDLE, int32_t, int32_t, const char*, const char*,
                      uint32_t, int32_t) {
    return Fail();
}
int32_t KD5200_CALL StandInDownload(KD5200_HWND, KD5200_HANDLE, int32_t, const char*) {
    return Fail();
}
int32_t KD5200_CALL StandInDelete(KD5200_HWND, KD5200_HANDLE, int32_t, int32_t, const char*) {
    return Fail();
}
int32_t KD5200_CALL StandInReplace(KD5200_HANDLE, int32_t, int32_t, int32_t) {
    return Fail();
}
int32_t KD5200_CALL StandInRename(KD5200_HANDLE, int32_t, int32_t, const char*, KD5200_DIRENTRY*) {
    return Fail();
}
int32_t KD5200_CALL StandInFormat(KD5200_HWND, KD5200_HANDLE, int32_t) {
    return Fail();
}
int32_t KD5200_CALL StandInUpgradeFirmware(KD5200_HWND, KD5200_HANDLE, int32_t, int32_t, const char*,
                               const char*) {
    return Fail();
}
const char* KD5200_CALL StandInGetFirmwareVersionString() {
    return nullptr;
}
int32_t KD5200_CALL StandInGetFontInfo(KD5200_HANDLE, KD5200_FONTINFO*) {
    return Fail();
}
int32_t KD5200_CALL StandInDownloadFont(KD5200_HWND, KD5200_HANDLE, const char*) {
    return Fail();
}
int32_t KD5200_CALL StandInEraseFont(KD5200_HANDLE) {
    return Fail();
}
int32_t KD5200_CALL StandInUploadFont(KD5200_HWND, KD5200_HANDLE, const char*, int32_t, int32_t) {
    return Fail();
}
int32_t KD5200_CALL StandInUploadRawData(KD5200_HWND, KD5200_HANDLE, int32_t, int32_t, int32_t, const char*,
                             int32_t, int32_t) {
    return Fail();
}

constexpr Kd5200Api kStandIns = {
    StandInOpen,
    StandInIsValidHandle,
    StandInTestConnection,
    StandInClose,
    StandInFree,
    StandInSetTimeout,
    StandInRefresh,
    StandInSetError,
    StandInGetError,
    StandInGetWindowsError,
    StandInDispError,
    StandInUpload,
    StandInDownload,
    StandInDelete,
    StandInReplace,
    StandInRename,
    StandInFormat,
    StandInFormat,
    StandInUpgradeFirmware,
    StandInGetFirmwareVersionString,
    StandInGetFontInfo,
    StandInDownloadFont,
    StandInEraseFont,
    StandInUploadFont,
    StandInUploadRawData,
};

// ---- The loaded library -------------------------------------------------

struct Binding {
    void* module = nullptr;
    Kd5200Api api = kStandIns;
    decltype(&::KD5200X_SetDisplayHook) setDisplayHook = nullptr;
    decltype(&::KD5200X_SetProgressHook) setProgressHook = nullptr;
    decltype(&::KD5200X_GetChangeNotifier) getChangeNotifier = nullptr;
    decltype(&::KD5200X_GetPlugGeneration) getPlugGeneration = nullptr;
    decltype(&::KD5200X_SetCodePage) setCodePage = nullptr;
    Kd5200Api own = kStandIns; // the library's functions, where the table holds thunks
    // A PC path that could not be handed to the library: the failure the
    // error thunks report while the library's own error stays its code.
    std::optional<std::pair<int32_t, int32_t>> pathFailure; // code, error number
    std::string codePage;
    std::string error;
    std::string path;
    ProgressHandler progress;
    std::vector<std::pair<std::string, std::string>> subjects; // used, shown
};

Binding& B() {
    static Binding binding;
    return binding;
}

// The library's messages appear as the program's own warning boxes.
void KD5200_CALL DisplayThunk(KD5200_HWND parent, int32_t, int32_t, const char* message, void*) {
    // A message names its file as "KD5200: <file>: <what went wrong>".
    std::string text = message ? message : "";
    for (const auto& [used, shown] : B().subjects) {
        const std::string named = used + ": ";
        for (size_t at = text.find(named); at != std::string::npos;
             at = text.find(named, at + shown.size()))
            text.replace(at, used.size(), shown);
    }
    platform::MessageBox(parent, text, "", platform::kMbOk | platform::kMbIconWarning);
}

int32_t KD5200_CALL ProgressThunk(KD5200_HWND parent, const char* operation, int64_t done, int64_t total,
                      void*) {
    const ProgressHandler handler = B().progress; // it may replace itself
    return handler && handler(parent, operation ? operation : "", ProgressPhase::kWork, done, total)
               ? 1
               : 0;
}

// The font record with its file name in the PC's text, as every other name
// above the device layer.
int32_t KD5200_CALL FontInfoAsText(KD5200_HANDLE handle, KD5200_FONTINFO* font) {
    const int32_t ok = B().own.GetFontInfo(handle, font);
    if (!ok || !font) return ok;
    const std::string text = DevNameToText(std::string_view(font->fileName, strnlen(font->fileName, 259)));
    // Cut at a character boundary when the text is longer than the field.
    size_t length = std::min(text.size(), size_t{259});
    while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::memset(font->fileName, 0, sizeof font->fileName);
    std::memcpy(font->fileName, text.data(), length);
    return ok;
}

// ---- PC paths in the form the library opens them ------------------------

// Calls the library with the path as it takes it (platform::AnsiPath). A
// path it cannot be given fails the call as an unreadable or unwritable PC
// file, with EILSEQ: no character set of the system can name it.
template <typename Call> int32_t WithPcPath(const char* pcPath, platform::AnsiUse use, Call call) {
    Binding& b = B();
    b.pathFailure.reset();
    if (!pcPath || !*pcPath) return call(pcPath);
    platform::AnsiPath path(pcPath, use);
    const int32_t code = use == platform::AnsiUse::kWrite ? KD5200_ERR_FILE_WRITE : KD5200_ERR_FILE_READ;
    int error = path.Ok() ? 0 : EILSEQ;
    int32_t ok = 0;
    if (!error) {
        // The library's messages name the file as the person gave it.
        std::optional<MessageSubject> subject;
        if (path.Text() != pcPath) subject.emplace(path.Text(), pcPath);
        ok = call(path.Bytes());
        if (ok) error = path.Finish();
    }
    if (!error) return ok;
    b.pathFailure.emplace(code, error);
    b.own.SetError(code);
    return 0;
}

int32_t KD5200_CALL UploadThunk(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory, int32_t entry,
                                const char* pcPath, const char* playerName, uint32_t size,
                                int32_t conversion) {
    return WithPcPath(pcPath, platform::AnsiUse::kWrite, [&](const char* path) {
        return B().own.Upload(parent, handle, memory, entry, path, playerName, size, conversion);
    });
}

// The player's copy is named after the PC file: its name must cross whole.
int32_t KD5200_CALL DownloadThunk(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                  const char* pcPath) {
    return WithPcPath(pcPath, platform::AnsiUse::kReadNamed, [&](const char* path) {
        return B().own.Download(parent, handle, memory, path);
    });
}

// chosenPath is the person's choice in the player's code page, which the
// player records: text, not a file the library opens.
int32_t KD5200_CALL UpgradeFirmwareThunk(KD5200_HWND parent, KD5200_HANDLE handle, int32_t target,
                                         int32_t romSelect, const char* imagePath,
                                         const char* chosenPath) {
    return WithPcPath(imagePath, platform::AnsiUse::kRead, [&](const char* image) {
        return B().own.UpgradeFirmware(parent, handle, target, romSelect, image, chosenPath);
    });
}

// The font keeps its file's name on the player.
int32_t KD5200_CALL DownloadFontThunk(KD5200_HWND parent, KD5200_HANDLE handle, const char* fontPath) {
    return WithPcPath(fontPath, platform::AnsiUse::kReadNamed, [&](const char* path) {
        return B().own.DownloadFont(parent, handle, path);
    });
}

int32_t KD5200_CALL UploadFontThunk(KD5200_HWND parent, KD5200_HANDLE handle, const char* pcPath,
                                    int32_t reserved, int32_t fontSize) {
    return WithPcPath(pcPath, platform::AnsiUse::kWrite, [&](const char* path) {
        return B().own.UploadFont(parent, handle, path, reserved, fontSize);
    });
}

int32_t KD5200_CALL UploadRawDataThunk(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                       int32_t firstBlock, int32_t blockCount, const char* pcPath,
                                       int32_t reserved, int32_t bytes) {
    return WithPcPath(pcPath, platform::AnsiUse::kWrite, [&](const char* path) {
        return B().own.UploadRawData(parent, handle, memory, firstBlock, blockCount, path, reserved,
                                     bytes);
    });
}

// The error of a call whose path could not be handed over, until the library
// reports another (only calls with a PC path fail with its code, and each
// of them clears it).
int32_t KD5200_CALL GetErrorThunk() {
    Binding& b = B();
    const int32_t code = b.own.GetError();
    if (b.pathFailure && b.pathFailure->first != code) b.pathFailure.reset();
    return code;
}

int32_t KD5200_CALL GetWindowsErrorThunk() {
    Binding& b = B();
    if (b.pathFailure && b.pathFailure->first == b.own.GetError()) return b.pathFailure->second;
    return b.own.GetWindowsError();
}

void KD5200_CALL SetErrorThunk(int32_t code) {
    B().pathFailure.reset();
    B().own.SetError(code);
}

// Paths to try, in order.
std::vector<std::string> Candidates() {
    const char* configured = std::getenv("KD5200USB_LIBRARY");
    if (configured && *configured) return {configured};
    std::vector<std::string> paths;
    const std::string own = platform::ExecutableDirectory();
    if (!own.empty() && platform::PathExists(own + "/" + kLibraryName))
        paths.push_back(own + "/" + kLibraryName);
    // An installed program: the library folder of its installation.
    const std::string installed = platform::LibraryDirectoryFor(own) + "/" + kLibraryName;
    if (!own.empty() && platform::PathExists(installed)) paths.push_back(installed);
    paths.push_back(kLibraryName);
    return paths;
}

template <typename Fn> bool Resolve(void* module, const char* name, Fn& fn, std::string& missing) {
    void* symbol = platform::LibraryFunction(module, name);
    if (!symbol) {
        if (missing.empty()) missing = name;
        return false;
    }
    fn = reinterpret_cast<Fn>(symbol);
    return true;
}

template <typename Fn> void ResolveOptional(void* module, const char* name, Fn& fn) {
    void* symbol = platform::LibraryFunction(module, name);
    fn = symbol ? reinterpret_cast<Fn>(symbol) : nullptr;
}

// Binds every function of the module; names the first missing one otherwise.
bool BindAll(void* module, Kd5200Api& api, std::string& missing) {
    bool ok = true;
    ok &= Resolve(module, "KD5200_Open", api.Open, missing);
    ok &= Resolve(module, "KD5200_IsValidHandle", api.IsValidHandle, missing);
    ok &= Resolve(module, "KD5200_TestConnection", api.TestConnection, missing);
    ok &= Resolve(module, "KD5200_Close", api.Close, missing);
    ok &= Resolve(module, "KD5200_Free", api.Free, missing);
    ok &= Resolve(module, "KD5200_SetTimeout", api.SetTimeout, missing);
    ok &= Resolve(module, "KD5200_Refresh", api.Refresh, missing);
    ok &= Resolve(module, "KD5200_SetError", api.SetError, missing);
    ok &= Resolve(module, "KD5200_GetError", api.GetError, missing);
    ok &= Resolve(module, "KD5200_GetWindowsError", api.GetWindowsError, missing);
    ok &= Resolve(module, "KD5200_DispError", api.DispError, missing);
    ok &= Resolve(module, "KD5200_Upload", api.Upload, missing);
    ok &= Resolve(module, "KD5200_Download", api.Download, missing);
    ok &= Resolve(module, "KD5200_Delete", api.Delete, missing);
    ok &= Resolve(module, "KD5200_Replace", api.Replace, missing);
    ok &= Resolve(module, "KD5200_Rename", api.Rename, missing);
    ok &= Resolve(module, "KD5200_Format", api.Format, missing);
    ok &= Resolve(module, "KD5200_FormatLow", api.FormatLow, missing);
    ok &= Resolve(module, "KD5200_UpgradeFirmware", api.UpgradeFirmware, missing);
    ok &= Resolve(module, "KD5200_GetFirmwareVersionString", api.GetFirmwareVersionString, missing);
    ok &= Resolve(module, "KD5200_GetFontInfo", api.GetFontInfo, missing);
    ok &= Resolve(module, "KD5200_DownloadFont", api.DownloadFont, missing);
    ok &= Resolve(module, "KD5200_EraseFont", api.EraseFont, missing);
    ok &= Resolve(module, "KD5200_UploadFont", api.UploadFont, missing);
    ok &= Resolve(module, "KD5200_UploadRawData", api.UploadRawData, missing);
    return ok;
}

} // namespace

bool LoadDeviceLibrary() {
    Binding& b = B();
    if (b.module) return true;
    b.error.clear();
    for (const std::string& path : Candidates()) {
        b.path = path;
        std::string why;
        void* module = platform::OpenLibrary(path, why);
        if (!module) {
            b.error = strings::Tr("The device library cannot be loaded: ") + why;
            continue;
        }
        Kd5200Api api = kStandIns;
        std::string missing;
        if (!BindAll(module, api, missing)) {
            platform::CloseLibrary(module);
            b.error = strings::Tr("The device library ") + path + strings::Tr(" has no function ") + missing + ".";
            continue;
        }
        b.module = module;
        b.api = api;
        b.error.clear();
        ResolveOptional(module, "KD5200X_SetDisplayHook", b.setDisplayHook);
        ResolveOptional(module, "KD5200X_SetProgressHook", b.setProgressHook);
        ResolveOptional(module, "KD5200X_GetChangeNotifier", b.getChangeNotifier);
        ResolveOptional(module, "KD5200X_GetPlugGeneration", b.getPlugGeneration);
        ResolveOptional(module, "KD5200X_SetCodePage", b.setCodePage);
        b.own = api;
        b.api.GetFontInfo = FontInfoAsText;
        b.api.Upload = UploadThunk;
        b.api.Download = DownloadThunk;
        b.api.UpgradeFirmware = UpgradeFirmwareThunk;
        b.api.DownloadFont = DownloadFontThunk;
        b.api.UploadFont = UploadFontThunk;
        b.api.UploadRawData = UploadRawDataThunk;
        b.api.GetError = GetErrorThunk;
        b.api.GetWindowsError = GetWindowsErrorThunk;
        b.api.SetError = SetErrorThunk;
        if (b.setCodePage && !b.codePage.empty()) b.setCodePage(b.codePage.c_str());
        if (b.setDisplayHook) b.setDisplayHook(DisplayThunk, nullptr);
        if (b.setProgressHook) b.setProgressHook(ProgressThunk, nullptr);
        return true;
    }
    return false;
}

void UnloadDeviceLibrary() {
    Binding& b = B();
    if (!b.module) return;
    if (b.setDisplayHook) b.setDisplayHook(nullptr, nullptr);
    if (b.setProgressHook) b.setProgressHook(nullptr, nullptr);
    platform::CloseLibrary(b.module);
    b.module = nullptr;
    b.api = kStandIns;
    b.setDisplayHook = nullptr;
    b.setProgressHook = nullptr;
    b.getChangeNotifier = nullptr;
    b.getPlugGeneration = nullptr;
    b.setCodePage = nullptr;
    b.own = kStandIns;
    b.pathFailure.reset();
    b.error.clear();
    g_standInError = KD5200_ERR_NOT_CONNECTED;
}

bool LibraryLoaded() {
    return B().module != nullptr;
}

const std::string& LibraryError() {
    return B().error;
}

const std::string& LibraryPath() {
    return B().path;
}

const Kd5200Api& Api() {
    return B().api;
}

ProgressHandler SetProgressHandler(ProgressHandler handler) {
    ProgressHandler old = std::move(B().progress);
    B().progress = std::move(handler);
    return old;
}

ProgressHandler InstalledProgressHandler() {
    return B().progress;
}

bool ReportStart(KD5200_HWND parent, const char* operation, int64_t total) {
    if (total <= 0) return false; // nothing to wait for
    const ProgressHandler handler = B().progress;
    return handler && handler(parent, operation, ProgressPhase::kWork, 0, total);
}

MessageSubject::MessageSubject(std::string used, std::string shown) {
    B().subjects.emplace_back(std::move(used), std::move(shown));
}

MessageSubject::~MessageSubject() {
    B().subjects.pop_back();
}

int ChangeNotifier() {
    return B().getChangeNotifier ? B().getChangeNotifier() : -1;
}

void SetLibraryCodePage(const std::string& codePage) {
    B().codePage = codePage;
    if (B().setCodePage) B().setCodePage(codePage.c_str());
}

int64_t PlugGeneration() {
    return B().getPlugGeneration ? B().getPlugGeneration() : -1;
}

} // namespace device
