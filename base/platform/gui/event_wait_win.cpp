// Waiting on the window thread for its messages or a wake from another thread.
#include "base/platform/gui/event_wait.h"

#include <windows.h>

namespace platform {

namespace {

// An auto-reset event: a wake before the wait ends the next wait.
HANDLE WakeEvent() {
    static const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return event;
}

} // namespace

void WaitForWindowEvents(std::chrono::milliseconds most) {
    const HANDLE wake = WakeEvent();
    const DWORD limit = most.count() < 0 ? 0 : static_cast<DWORD>(most.count());
    // Any input or posted message counts, even one seen by an earlier peek.
    MsgWaitForMultipleObjectsEx(wake ? 1 : 0, wake ? &wake : nullptr, limit, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

void WakeWindowThread() {
    if (const HANDLE wake = WakeEvent()) SetEvent(wake);
}

} // namespace platform
