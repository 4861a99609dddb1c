// Connection, time-outs and directory reads of the device layer.
#include "lib/device/device_layer.h"
#include "lib/device/device_replace.h"
#include "lib/device/device_state.h"
#include "base/platform/message_box.h"
#include "base/resources/strings.h"

namespace device::detail {

State& S() {
    static State state;
    return state;
}

bool ValidMemory(int memory) {
    return memory == 0 || memory == 1;
}

void Report(KD5200_HWND parent, int code, int windowsError) {
    if (code != KD5200_ERR_NONE && code != KD5200_ERR_CANCELLED && !S().quiet)
        Api().DispError(parent, code, windowsError);
}

void Box(KD5200_HWND parent, const std::string& text, unsigned style) {
    if (!S().quiet) platform::MessageBox(parent, text, strings::Text(sid::kAppTitle), style);
}

bool Reopen() {
    DevClose();
    KD5200_HANDLE opened = nullptr;
    if (!Api().Open(&opened)) return false;
    S().handle = opened;
    for (auto& memory : S().memories)
        memory.stale = true;
    return true;
}

int Prepare(KD5200_HWND parent, int memory) {
    if (!S().handle) {
        Report(parent, KD5200_ERR_NOT_CONNECTED, 0);
        return KD5200_ERR_NOT_CONNECTED;
    }
    // Not DevRefreshMemory: entry numbers the caller had from its listing
    // must not move under it by a recovery of another run's replace.
    if (ReadDirectory(memory)) return KD5200_ERR_NONE;
    const int code = Api().GetError();
    Report(parent, code, Api().GetWindowsError());
    return code != KD5200_ERR_NONE ? code : KD5200_ERR_DIRECTORY;
}

} // namespace device::detail

using device::Api;
using device::detail::S;
using device::detail::ValidMemory;

void DevInit() {
    auto& s = S();
    s.handle = nullptr;
    // Entries past count are never read, so only what says which ones hold
    // a listing is reset (clearing the directories would touch 300 KB).
    for (auto& memory : s.memories) {
        memory.count = 0;
        memory.info = {};
        memory.stale = true;
        memory.readError = 0;
    }
    s.firmware[0] = '\0';
    device::LoadDeviceLibrary();
    DevApplyCodePage();
    s.timeouts = settings::GetTimeouts();
    Api().SetTimeout(s.timeouts.receive, s.timeouts.send);
}

void DevExit() {
    auto& s = S();
    settings::WriteTimeouts(s.timeouts);
    KD5200_HANDLE const open = s.handle;
    DevClose();
    Api().Free(open);
    s.handle = nullptr;
    device::UnloadDeviceLibrary();
}

void DevSetTimeouts(int receive, int send, int format) {
    S().timeouts = settings::Timeouts{receive, send, format};
    Api().SetTimeout(receive, send);
}

void DevClose() {
    KD5200_HANDLE const open = S().handle;
    if (!open) return;
    S().handle = nullptr;
    Api().Close(open);
}

namespace {

// Whether the open handle still reaches the player: a handle opened before
// an unplug fails after it even when the player answers again. One entry
// is read, into a record of its own, so that the cached directory stays.
bool HandleAnswers() {
    KD5200_MEMINFO info{};
    KD5200_DIRENTRY entry{};
    int32_t count = 1;
    return Api().Refresh(S().handle, KD5200_MEMORY_INTERNAL, &info, &entry, &count) != 0;
}

} // namespace

bool DevConnect(bool read, int* count, int* mask) {
    auto& s = S();
    if (Api().IsValidHandle(s.handle)) {
        if (Api().TestConnection() && HandleAnswers()) return true;
        if (!device::detail::Reopen()) return false;
    } else {
        // A handle the library no longer knows is of no use: without a player
        // the operations must see none and report code 3.
        s.handle = nullptr;
        if (!Api().TestConnection()) return false;
        KD5200_HANDLE opened = nullptr;
        if (!Api().Open(&opened)) return false;
        s.handle = opened;
    }
    if (!read) {
        if (count) *count = 0;
        if (mask) *mask = 0;
        return true;
    }
    int found = 0;
    for (int memory = 0; memory < 2; ++memory) {
        if (DevRefreshMemory(memory)) found |= 1 << memory;
        s.memories[memory].stale = false;
    }
    if (mask) *mask = found;
    if (count) *count = 2;
    return s.handle != nullptr;
}

bool device::detail::ReadDirectory(int memory) {
    if (!ValidMemory(memory)) {
        Api().SetError(KD5200_ERR_BAD_ARGUMENT);
        return false;
    }
    auto& cache = S().memories[memory];
    cache.stale = false;
    cache.count = KD5200_MAX_ENTRIES;
    const int32_t ok =
        Api().Refresh(S().handle, memory, &cache.info, cache.entries.data(), &cache.count);
    if (cache.count < 0 || cache.count > KD5200_MAX_ENTRIES) cache.count = 0;
    int code = KD5200_ERR_NONE;
    cache.readError = ok ? 0 : Api().GetError();
    if (!ok)
        code = KD5200_ERR_DIRECTORY;
    else if (cache.info.capacityBlocks == 0)
        code = KD5200_ERR_NO_CAPACITY;
    if (code == KD5200_ERR_NONE) return true;
    cache.info = KD5200_MEMINFO{};
    cache.count = 0;
    Api().SetError(code);
    return false;
}

bool DevRefreshMemory(int memory) {
    if (!device::detail::ReadDirectory(memory)) return false;
    // What a replace killed part-way left is put right before anyone sees it.
    return !device::detail::RecoverReplaces(memory) || device::detail::ReadDirectory(memory);
}

bool DevDirectoryUnreadable(int memory) {
    return ValidMemory(memory) && S().handle &&
           S().memories[memory].readError == KD5200_ERR_DIRECTORY;
}

const char* DevGetFirmwareVersion() {
    const char* text = Api().GetFirmwareVersionString();
    if (!text) return nullptr;
    const std::string cut = settings::CutUtf8(text, sizeof S().firmware);
    cut.copy(S().firmware, cut.size());
    S().firmware[cut.size()] = '\0';
    return S().firmware;
}
