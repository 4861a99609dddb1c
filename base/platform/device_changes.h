#pragma once
// Device changes as a count: the device monitor adds one for every plug,
// unplug or change notice it sees, however short. A command that asks a
// question first notes the count and, once answered, acts only when it is
// unchanged: the player the person was asked about may be another one now.

#include <cstdint>

namespace platform {

// Adds one device change (any thread).
void NoteDeviceChange();
// The number of device changes noted since the program started.
uint64_t DeviceChangeCount();

// The count when it was made, to compare after a question.
class DeviceChangeWatch {
public:
    DeviceChangeWatch() : start_(DeviceChangeCount()) {}
    // Whether a device change was noted since the watch was made.
    bool Changed() const { return DeviceChangeCount() != start_; }

private:
    uint64_t start_;
};

} // namespace platform
