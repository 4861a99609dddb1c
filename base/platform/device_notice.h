#pragma once
// Tells the system's programs that a device came or went, as plugging a USB
// device in does: on Windows a WM_DEVICECHANGE (DBT_DEVNODES_CHANGED) to every
// top-level window, which Songdock's device monitor answers with a
// reconnect. Elsewhere nothing: the device library's own notifier serves.

namespace platform {

void AnnounceDeviceChange();

} // namespace platform
