// Device-change notices on Windows: WM_DEVICECHANGE, which the system sends
// to every top-level window, received by a hidden window of the window
// thread. A burst of notices gives one wxEVT_SD_DEVICE_CHANGE.
#include "base/platform/gui/device_monitor.h"

#include "base/platform/device_changes.h"

#include <wx/msw/wrapwin.h>
#include <dbt.h>

wxDEFINE_EVENT(wxEVT_SD_DEVICE_CHANGE, wxCommandEvent);

namespace platform {

namespace {

constexpr UINT_PTR kQuietTimer = 1;
constexpr UINT_PTR kBurstTimer = 2;
// A burst never delays the event longer than this.
constexpr UINT kLongestBurstMs = 2000;
constexpr const wchar_t* kWindowClass = L"SongdockDeviceNotices";

struct Watch {
    wxEvtHandler* target;
    UINT quietMs;
    bool pending = false;
    HDEVNOTIFY usb = nullptr;
};

void Report(HWND window, Watch& watch) {
    KillTimer(window, kQuietTimer);
    KillTimer(window, kBurstTimer);
    watch.pending = false;
    wxQueueEvent(watch.target, new wxCommandEvent(wxEVT_SD_DEVICE_CHANGE));
}

LRESULT CALLBACK OnNotice(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* watch = reinterpret_cast<Watch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!watch) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DEVICECHANGE:
        if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE ||
            wParam == DBT_DEVNODES_CHANGED) {
            // Counted at once, so that a question answered within the burst
            // already sees it.
            NoteDeviceChange();
            if (!watch->pending) {
                watch->pending = true;
                SetTimer(window, kBurstTimer, kLongestBurstMs, nullptr);
            }
            SetTimer(window, kQuietTimer, watch->quietMs, nullptr); // restarts it
        }
        return TRUE;
    case WM_TIMER:
        if (watch->pending && (wParam == kQuietTimer || wParam == kBurstTimer))
            Report(window, *watch);
        return 0;
    case WM_NCDESTROY:
        if (watch->usb) UnregisterDeviceNotification(watch->usb);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete watch;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

// The device library's notifier (extraFd) has no counterpart here: the
// system's notice comes for its devices as for any other.
DeviceMonitor::DeviceMonitor(wxEvtHandler* target, int extraFd, int quietMs)
    : target_(target), extraFd_(extraFd), quietMs_(quietMs > 0 ? quietMs : 1) {
    if (!target_) return;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OnNotice;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass); // fails harmlessly once registered
    // A top-level window, never shown: message-only windows get no broadcasts.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return;
    auto* watch = new Watch{target_, static_cast<UINT>(quietMs_)};
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(watch));
    // Arrivals and removals of every device interface (USB ones among them).
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    watch->usb = RegisterDeviceNotificationW(window, &filter,
                                             DEVICE_NOTIFY_WINDOW_HANDLE |
                                                 DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
    window_ = window;
}

DeviceMonitor::~DeviceMonitor() {
    if (window_) DestroyWindow(static_cast<HWND>(window_));
}

} // namespace platform
