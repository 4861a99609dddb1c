#include "base/platform/device_changes.h"

#include <atomic>

namespace platform {

namespace {
// Noted on the monitor's thread, read on the user-interface thread.
std::atomic<uint64_t> changes{0};
} // namespace

void NoteDeviceChange() {
    changes.fetch_add(1, std::memory_order_relaxed);
}

uint64_t DeviceChangeCount() {
    return changes.load(std::memory_order_relaxed);
}

} // namespace platform
