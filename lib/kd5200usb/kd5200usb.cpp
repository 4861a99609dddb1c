// The C interface of the device library over the virtual player.
#include "lib/device/kd5200usb.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "base/platform/ansi_path.h"
#include "lib/kd5200usb/attach.h"
#include "lib/kd5200usb/errors.h"
#include "lib/kd5200usb/faults.h"
#include "lib/kd5200usb/player.h"
#include "lib/kd5200usb/player_names.h"

#ifdef _WIN32
#define KD5200_API extern "C" __declspec(dllexport) KD5200_CALL
#else
#define KD5200_API extern "C" __attribute__((visibility("default")))
#endif

namespace {

using kd5200::Fail;
using kd5200::Player;
using kd5200::Status;

// One opened player. The handle given out is the session's address.
struct Session {
    std::string folder;
    int64_t generation = 0;         // the plug generation it was opened in
    std::shared_ptr<Player> player; // null once closed
};

// The library's process-wide state.
struct Library {
    std::recursive_mutex mutex;
    std::map<const void*, std::unique_ptr<Session>> sessions;
    int32_t error = KD5200_ERR_NONE;
    int32_t windowsError = 0;
    std::string subject; // the PC file the last error concerns, or ""
    int32_t receiveTimeoutMs = 30000;
    int32_t sendTimeoutMs = 20000;
    KD5200X_DisplayHook display = nullptr;
    void* displayUser = nullptr;
    KD5200X_ProgressHook progress = nullptr;
    void* progressUser = nullptr;
    kd5200::ChangeNotifier notifier;
    kd5200::PlugWatch plugWatch;
};

Library& Lib() {
    static Library library;
    return library;
}

int32_t Result(Status status) {
    if (status.Ok()) return 1;
    Lib().error = status.code;
    Lib().windowsError = status.systemError;
    Lib().subject.clear();
    return 0;
}

// The result of a transfer of one PC file: a failure names the file, so
// that the message of a transfer of many tells which one stopped it.
int32_t NamingFile(int32_t result, const char* pcPath) {
    std::lock_guard lock(Lib().mutex);
    if (!result && pcPath) Lib().subject = pcPath;
    return result;
}

// Finds the open session of a handle.
Status Find(KD5200_HANDLE handle, Session*& session) {
    if (!handle) return Fail(KD5200_ERR_NOT_CONNECTED);
    const auto it = Lib().sessions.find(handle);
    if (it == Lib().sessions.end() || !it->second->player) return Fail(KD5200_ERR_BAD_HANDLE);
    session = it->second.get();
    return {};
}

// Runs an operation on the plugged-in player of a handle. As with a USB
// device, a handle fails once the player was unplugged, also after it is
// plugged in again. The player stays alive for the call even when a hook
// closes the handle meanwhile; a hook calling back may read, but a second
// change fails (busy).
template <typename Operation> int32_t WithPlayer(KD5200_HANDLE handle, Operation operation) {
    std::lock_guard lock(Lib().mutex);
    Session* session = nullptr;
    if (Status s = Find(handle, session); !s) return Result(s);
    if (Status s = Lib().plugWatch.Check(session->folder, session->generation); !s)
        return Result(s);
    std::shared_ptr<Player> player = session->player;
    // Another program's lock is waited for as long as an answer would be.
    player->SetLockWait(Lib().receiveTimeoutMs);
    return Result(operation(*player));
}

kd5200::TransferSettings Settings(KD5200_HWND parent, const Player& player) {
    kd5200::TransferSettings settings;
    settings.bytesPerSecond = kd5200::SpeedFromEnvironment();
    settings.receiveTimeoutMs = Lib().receiveTimeoutMs;
    settings.sendTimeoutMs = Lib().sendTimeoutMs;
    settings.attachFolder = player.Folder();
    settings.plugGeneration = player.PlugGeneration();
    settings.plugWatch = &Lib().plugWatch;
    settings.hook = Lib().progress;
    settings.user = Lib().progressUser;
    settings.parent = parent;
    return settings;
}

bool ValidMemory(int32_t memory) {
    return memory == KD5200_MEMORY_INTERNAL || memory == KD5200_MEMORY_EXTERNAL;
}

// Writes a directory entry in the player's 300-byte layout.
void FillEntry(const kd5200::Entry& entry, KD5200_DIRENTRY& out) {
    std::memset(&out, 0, sizeof out);
    std::memset(out.name, ' ', 8);
    std::memcpy(out.name, entry.shortName.base.data(),
                std::min<size_t>(entry.shortName.base.size(), 8));
    std::memset(out.ext, ' ', 3);
    std::memcpy(out.ext, entry.shortName.ext.data(),
                std::min<size_t>(entry.shortName.ext.size(), 3));
    auto* size = reinterpret_cast<unsigned char*>(&out.size);
    for (int b = 0; b < 4; ++b)
        size[b] = static_cast<unsigned char>((entry.size >> (8 * b)) & 0xFF);
    std::memcpy(out.longName, entry.longName.data(),
                std::min(entry.longName.size(), sizeof out.longName - 1));
}

// What another program does to the memory before this read of its
// directory, when KD5200_FAULTS asks for it (gone:N, renamed:N).
void ChangeAsAnotherProgram(Player& player, int memory) {
    const kd5200::ListFault fault = kd5200::NextListFault(memory);
    if (fault == kd5200::ListFault::None) return;
    kd5200::MemoryDirectory directory;
    if (!player.List(memory, directory).Ok() || directory.entries.empty()) return;
    if (fault == kd5200::ListFault::Gone) {
        player.Delete(memory, 0);
        return;
    }
    const kd5200::Entry& first = directory.entries[0];
    kd5200::Entry renamed;
    player.Rename(memory, 0,
                  "renamed-" + (first.longName.empty() ? first.shortName.Text() : first.longName),
                  renamed);
}

} // namespace

KD5200_API int32_t KD5200_Open(KD5200_HANDLE* handle) {
    std::lock_guard lock(Lib().mutex);
    if (!handle) return Result(Fail(KD5200_ERR_BAD_ARGUMENT));
    *handle = nullptr;
    auto session = std::make_unique<Session>();
    session->folder = kd5200::PlayerFolder();
    const kd5200::PlugState plug = kd5200::ReadPlugState(session->folder);
    if (!plug.attached) return Result(Fail(KD5200_ERR_NOT_ATTACHED));
    session->generation = plug.generation;
    std::unique_ptr<Player> player;
    if (Status s = Player::Open(session->folder, player); !s) return Result(s);
    player->SetPlugGeneration(plug.generation);
    session->player = std::move(player);
    *handle = session.get();
    Lib().sessions[session.get()] = std::move(session);
    return 1;
}

KD5200_API int32_t KD5200_IsValidHandle(KD5200_HANDLE handle) {
    std::lock_guard lock(Lib().mutex);
    Session* session = nullptr;
    return Find(handle, session).Ok() ? 1 : 0;
}

KD5200_API int32_t KD5200_TestConnection(void) {
    std::lock_guard lock(Lib().mutex);
    if (kd5200::IsAttached(kd5200::PlayerFolder())) return 1;
    return Result(Fail(KD5200_ERR_NOT_ATTACHED));
}

KD5200_API int32_t KD5200_Close(KD5200_HANDLE handle) {
    std::lock_guard lock(Lib().mutex);
    Session* session = nullptr;
    if (Status s = Find(handle, session); !s) return Result(s);
    session->player.reset();
    return 1;
}

KD5200_API int32_t KD5200_Free(KD5200_HANDLE handle) {
    std::lock_guard lock(Lib().mutex);
    if (!handle) return 1;
    if (Lib().sessions.erase(handle) == 0) return Result(Fail(KD5200_ERR_BAD_HANDLE));
    return 1;
}

KD5200_API int32_t KD5200_SetTimeout(int32_t receiveMs, int32_t sendMs) {
    std::lock_guard lock(Lib().mutex);
    if (receiveMs < 0 || sendMs < 0) return Result(Fail(KD5200_ERR_BAD_ARGUMENT));
    Lib().receiveTimeoutMs = receiveMs;
    Lib().sendTimeoutMs = sendMs;
    return 1;
}

KD5200_API int32_t KD5200_Refresh(KD5200_HANDLE handle, int32_t memory, KD5200_MEMINFO* information,
                                  KD5200_DIRENTRY* entries, int32_t* count) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory) || !information || !count || *count < 0 ||
            *count > KD5200_MAX_ENTRIES || (*count > 0 && !entries))
            return Fail(KD5200_ERR_BAD_ARGUMENT);
        ChangeAsAnotherProgram(player, memory);
        kd5200::MemoryDirectory directory;
        if (Status s = player.List(memory, directory); !s) return s;
        information->fileCount = static_cast<uint32_t>(directory.entries.size());
        information->capacityBlocks = directory.capacity;
        information->usedBlocks = directory.used;
        const auto written =
            std::min<size_t>(static_cast<size_t>(*count), directory.entries.size());
        for (size_t i = 0; i < written; ++i)
            FillEntry(directory.entries[i], entries[i]);
        *count = static_cast<int32_t>(written);
        return {};
    });
}

KD5200_API void KD5200_SetError(int32_t code) {
    std::lock_guard lock(Lib().mutex);
    Lib().error = code;
    Lib().windowsError = 0;
    Lib().subject.clear();
}

KD5200_API int32_t KD5200_GetError(void) {
    std::lock_guard lock(Lib().mutex);
    return Lib().error;
}

KD5200_API int32_t KD5200_GetWindowsError(void) {
    std::lock_guard lock(Lib().mutex);
    return Lib().windowsError;
}

KD5200_API void KD5200_DispError(KD5200_HWND parent, int32_t code, int32_t windowsError) {
    std::lock_guard lock(Lib().mutex);
    // 0, 0 shows the last error; the last error names its file.
    if (code == KD5200_ERR_NONE && windowsError == 0) {
        code = Lib().error;
        windowsError = Lib().windowsError;
    }
    const bool last = code == Lib().error && windowsError == Lib().windowsError;
    const std::string line = kd5200::ErrorLine(code, windowsError, last ? Lib().subject : "");
    if (Lib().display)
        Lib().display(parent, code, windowsError, line.c_str(), Lib().displayUser);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

KD5200_API int32_t KD5200_Upload(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                 int32_t entry, const char* pcPath, const char* /*playerName*/,
                                 uint32_t /*size*/, int32_t conversion) {
    // The size is the caller's copy of the entry's; the directory has it.
    const std::string path = platform::TextFromAnsiPath(pcPath);
    return NamingFile(WithPlayer(handle,
                                 [&](Player& player) -> Status {
                                     if (!ValidMemory(memory) || !pcPath || !*pcPath)
                                         return Fail(KD5200_ERR_BAD_ARGUMENT);
                                     return player.Upload(memory, entry, path, conversion,
                                                          Settings(parent, player));
                                 }),
                      pcPath ? path.c_str() : nullptr);
}

KD5200_API int32_t KD5200_Download(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                   const char* pcPath) {
    const std::string path = platform::TextFromAnsiPath(pcPath);
    return NamingFile(WithPlayer(handle,
                                 [&](Player& player) -> Status {
                                     if (!ValidMemory(memory) || !pcPath || !*pcPath)
                                         return Fail(KD5200_ERR_BAD_ARGUMENT);
                                     return player.Download(memory, path,
                                                            Settings(parent, player));
                                 }),
                      pcPath ? path.c_str() : nullptr);
}

KD5200_API int32_t KD5200_Delete(KD5200_HWND /*parent*/, KD5200_HANDLE handle, int32_t memory,
                                 int32_t entry, const char* /*shownName*/) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.Delete(memory, entry);
    });
}

KD5200_API int32_t KD5200_Replace(KD5200_HANDLE handle, int32_t memory, int32_t entry,
                                  int32_t neighbour) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.Swap(memory, entry, neighbour);
    });
}

KD5200_API int32_t KD5200_Rename(KD5200_HANDLE handle, int32_t memory, int32_t entry,
                                 const char* newName, KD5200_DIRENTRY* cachedEntry) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory) || !newName) return Fail(KD5200_ERR_BAD_ARGUMENT);
        kd5200::Entry renamed;
        if (Status s = player.Rename(memory, entry, newName, renamed); !s) return s;
        if (cachedEntry) FillEntry(renamed, *cachedEntry);
        return {};
    });
}

KD5200_API int32_t KD5200_Format(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.Format(memory, Settings(parent, player));
    });
}

KD5200_API int32_t KD5200_FormatLow(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory)) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.FormatLow(memory, Settings(parent, player));
    });
}

KD5200_API int32_t KD5200_UpgradeFirmware(KD5200_HWND parent, KD5200_HANDLE handle, int32_t target,
                                          int32_t romSelect, const char* imagePath,
                                          const char* chosenPath) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!imagePath || !*imagePath) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.UpgradeFirmware(target, romSelect, platform::TextFromAnsiPath(imagePath),
                                      chosenPath ? chosenPath : "",
                                      Settings(parent, player));
    });
}

KD5200_API const char* KD5200_GetFirmwareVersionString(void) {
    std::lock_guard lock(Lib().mutex);
    const std::string folder = kd5200::PlayerFolder();
    if (!kd5200::IsAttached(folder)) {
        Result(Fail(KD5200_ERR_NOT_ATTACHED));
        return nullptr;
    }
    std::unique_ptr<Player> player;
    std::string version;
    Status s = Player::Open(folder, player);
    if (s) s = player->Version(version);
    if (!s) {
        Result(s);
        return nullptr;
    }
    // Each thread keeps its own copy: the text stays valid until that thread
    // asks again, whatever other threads ask meanwhile.
    thread_local std::string text;
    text = std::move(version);
    return text.c_str();
}

KD5200_API int32_t KD5200_GetFontInfo(KD5200_HANDLE handle, KD5200_FONTINFO* font) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!font) return Fail(KD5200_ERR_BAD_ARGUMENT);
        bool present = false;
        kd5200::FontRecord record;
        if (Status s = player.FontInfo(present, record); !s) return s;
        if (!present) return Fail(KD5200_ERR_NO_FONT);
        std::memset(font, 0, sizeof *font);
        std::memcpy(font->fileName, record.name.data(), std::min<size_t>(record.name.size(), 259));
        font->size = static_cast<uint32_t>(record.data.size());
        return {};
    });
}

KD5200_API int32_t KD5200_DownloadFont(KD5200_HWND parent, KD5200_HANDLE handle,
                                       const char* fontPath) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!fontPath || !*fontPath) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.DownloadFont(platform::TextFromAnsiPath(fontPath), Settings(parent, player));
    });
}

KD5200_API int32_t KD5200_EraseFont(KD5200_HANDLE handle) {
    return WithPlayer(handle, [&](Player& player) { return player.EraseFont(); });
}

KD5200_API int32_t KD5200_UploadFont(KD5200_HWND parent, KD5200_HANDLE handle, const char* pcPath,
                                     int32_t /*reserved*/, int32_t fontSize) {
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!pcPath || !*pcPath || fontSize < 0) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.UploadFont(platform::TextFromAnsiPath(pcPath), Settings(parent, player));
    });
}

KD5200_API int32_t KD5200_UploadRawData(KD5200_HWND parent, KD5200_HANDLE handle, int32_t memory,
                                        int32_t firstBlock, int32_t blockCount, const char* pcPath,
                                        int32_t /*reserved*/, int32_t /*bytes*/) {
    // The byte count is not needed: the blocks say how much is written (and
    // a caller's 32-bit product overflows for large ranges).
    return WithPlayer(handle, [&](Player& player) -> Status {
        if (!ValidMemory(memory) || !pcPath || !*pcPath) return Fail(KD5200_ERR_BAD_ARGUMENT);
        return player.ReadRaw(memory, firstBlock, blockCount, platform::TextFromAnsiPath(pcPath),
                              Settings(parent, player));
    });
}

KD5200_API void KD5200X_SetDisplayHook(KD5200X_DisplayHook hook, void* user) {
    std::lock_guard lock(Lib().mutex);
    Lib().display = hook;
    Lib().displayUser = hook ? user : nullptr;
}

KD5200_API void KD5200X_SetProgressHook(KD5200X_ProgressHook hook, void* user) {
    std::lock_guard lock(Lib().mutex);
    Lib().progress = hook;
    Lib().progressUser = hook ? user : nullptr;
}

KD5200_API int32_t KD5200X_GetChangeNotifier(void) {
    std::lock_guard lock(Lib().mutex);
    return Lib().notifier.Fd(kd5200::PlayerFolder());
}

KD5200_API int64_t KD5200X_GetPlugGeneration(void) {
    return kd5200::ReadPlugState(kd5200::PlayerFolder()).generation;
}

KD5200_API void KD5200X_SetCodePage(const char* codePage) {
    kd5200::SetCodePageName(codePage ? codePage : "");
}
