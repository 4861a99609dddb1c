// State accessors for the maintenance commands and the library's extensions.
#include "lib/device/device_layer.h"
#include "lib/device/device_state.h"

using device::detail::S;
using device::detail::ValidMemory;

KD5200_HANDLE DevGetHandle() {
    return S().handle;
}

settings::Timeouts DevGetTimeouts() {
    return S().timeouts;
}

void DevSetStale(int memory, bool stale) {
    if (ValidMemory(memory)) S().memories[memory].stale = stale;
}

bool DevIsStale(int memory) {
    return ValidMemory(memory) && S().memories[memory].stale;
}

KD5200_MEMINFO DevGetMemoryInfo(int memory) {
    return ValidMemory(memory) ? S().memories[memory].info : KD5200_MEMINFO{};
}

uint32_t DevGetCapacityBlocks(int memory) {
    return DevGetMemoryInfo(memory).capacityBlocks;
}

int DevGetEntryCount(int memory) {
    return ValidMemory(memory) ? S().memories[memory].count : 0;
}

void DevSetMainWindow(KD5200_HWND window) {
    S().mainWindow = window;
}

bool DevLibraryLoaded() {
    return device::LibraryLoaded();
}

const std::string& DevLibraryError() {
    return device::LibraryError();
}

const device::Kd5200Api& DevApi() {
    return device::Api();
}

device::ProgressHandler DevSetProgressHandler(device::ProgressHandler handler) {
    return device::SetProgressHandler(std::move(handler));
}

int DevGetChangeNotifier() {
    return device::ChangeNotifier();
}

int64_t DevGetPlugGeneration() {
    return device::PlugGeneration();
}
