#pragma once
// Device-change notices: USB devices coming and going (libudev) and, when
// the device library offers one, its own change notifier, delivered as one
// wxEVT_SD_DEVICE_CHANGE command event on the main thread.
#include <wx/event.h>

#include <atomic>
#include <thread>

// Sent to the monitor's target after a device was plugged or unplugged. A
// burst of changes within a short time gives one event.
wxDECLARE_EVENT(wxEVT_SD_DEVICE_CHANGE, wxCommandEvent);

struct udev;
struct udev_monitor;

namespace platform {

// Watches for device changes on a thread of its own and queues one
// wxEVT_SD_DEVICE_CHANGE to the target per burst. The target must outlive
// the monitor.
class DeviceMonitor {
public:
    // extraFd: a descriptor that becomes readable on a change (the device
    // library's notifier), or -1. It is drained, never closed. quietMs: how
    // long the changes must pause before the event is sent.
    DeviceMonitor(wxEvtHandler* target, int extraFd = -1, int quietMs = 300);
    ~DeviceMonitor();
    DeviceMonitor(const DeviceMonitor&) = delete;
    DeviceMonitor& operator=(const DeviceMonitor&) = delete;

    // Whether USB changes are watched (false when udev is not available).
    bool WatchingUsb() const { return monitor_ != nullptr || window_ != nullptr; }
    // Whether the watcher thread runs.
    bool Running() const { return thread_.joinable(); }

private:
    void Run();
    // Reads everything pending; true when it held a change worth reporting.
    bool DrainUdev();
    bool DrainExtra(bool& closed);

    wxEvtHandler* target_;
    int extraFd_;
    int quietMs_;
    int stopFd_ = -1;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    void* window_ = nullptr; // Windows: the hidden window the system's notices go to
    std::thread thread_;
};

} // namespace platform
