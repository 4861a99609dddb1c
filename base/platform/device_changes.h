#pragma once
// Device changes as a count: the device monitor adds one for every plug,
// unplug or change notice it sees, however short. The device layer's watch
// (lib/device/device_watch.h) compares it before and after a question: the
// player the person was asked about may be another one now.

#include <cstdint>

namespace platform {

// Adds one device change (any thread).
void NoteDeviceChange();
// The number of device changes noted since the program started.
uint64_t DeviceChangeCount();

} // namespace platform
