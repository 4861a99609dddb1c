#include "base/platform/gui/device_monitor.h"

#include "base/platform/device_changes.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

wxDEFINE_EVENT(wxEVT_SD_DEVICE_CHANGE, wxCommandEvent);

namespace platform {

namespace {

// A burst never delays the event longer than this.
constexpr auto kLongestBurst = std::chrono::milliseconds(2000);

} // namespace

DeviceMonitor::DeviceMonitor(wxEvtHandler* target, int extraFd, int quietMs)
    : target_(target), extraFd_(extraFd), quietMs_(quietMs > 0 ? quietMs : 1) {
    udev_ = udev_new();
    if (udev_) {
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ &&
            (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") < 0 ||
             udev_monitor_enable_receiving(monitor_) < 0)) {
            udev_monitor_unref(monitor_);
            monitor_ = nullptr;
        }
    }
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ >= 0 && target_ && (monitor_ || extraFd_ >= 0))
        thread_ = std::thread(&DeviceMonitor::Run, this);
}

DeviceMonitor::~DeviceMonitor() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        while (write(stopFd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        thread_.join();
    }
    if (stopFd_ >= 0) close(stopFd_);
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

bool DeviceMonitor::DrainUdev() {
    bool change = false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            change = true;
        udev_device_unref(device);
    }
    return change;
}

bool DeviceMonitor::DrainExtra(bool& closed) {
    // Read while data is waiting; a poll before each read keeps a blocking
    // descriptor from stalling the thread.
    bool any = false;
    for (;;) {
        pollfd p{extraFd_, POLLIN, 0};
        const int ready = poll(&p, 1, 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        if (p.revents & (POLLERR | POLLNVAL)) {
            closed = true;
            break;
        }
        char buffer[256];
        const ssize_t n = read(extraFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) {
            any = true;
            continue;
        }
        if (n == 0) closed = true; // the writer went away
        break;
    }
    return any;
}

void DeviceMonitor::Run() {
    using Clock = std::chrono::steady_clock;
    int extra = extraFd_;
    bool pending = false;
    Clock::time_point burstStart;
    for (;;) {
        pollfd fds[3];
        nfds_t n = 0;
        fds[n++] = {stopFd_, POLLIN, 0};
        const int udevIndex = monitor_ ? static_cast<int>(n) : -1;
        if (monitor_) fds[n++] = {udev_monitor_get_fd(monitor_), POLLIN, 0};
        const int extraIndex = extra >= 0 ? static_cast<int>(n) : -1;
        if (extra >= 0) fds[n++] = {extra, POLLIN, 0};

        int timeout = -1;
        if (pending) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                burstStart + kLongestBurst - Clock::now());
            timeout = static_cast<int>(
                std::max<long long>(0, std::min<long long>(quietMs_, left.count())));
        }
        const int ready = poll(fds, n, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents) return; // asked to stop

        bool change = false;
        if (udevIndex >= 0 && fds[udevIndex].revents) change = DrainUdev() || change;
        if (extraIndex >= 0 && fds[extraIndex].revents) {
            bool closed = (fds[extraIndex].revents & (POLLERR | POLLNVAL)) != 0;
            if (!closed) change = DrainExtra(closed) || change;
            if (closed) extra = -1;
        }
        // Counted at once, so that a question answered within the burst
        // already sees it.
        if (change) NoteDeviceChange();
        if (change && !pending) {
            pending = true;
            burstStart = Clock::now();
            continue;
        }
        // Quiet for quietMs (or the burst lasted too long): report it once.
        if (pending && (ready == 0 || Clock::now() - burstStart >= kLongestBurst)) {
            pending = false;
            wxQueueEvent(target_, new wxCommandEvent(wxEVT_SD_DEVICE_CHANGE));
        }
        if (!monitor_ && extra < 0 && !pending) return; // nothing left to watch
    }
}

} // namespace platform
