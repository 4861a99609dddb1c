#include "base/platform/stop_requests.h"

#include <atomic>
#include <windows.h>

namespace platform {

namespace {

void (*volatile g_onStop)(int) = nullptr;
std::atomic<bool> g_asked[CTRL_SHUTDOWN_EVENT + 1];

// Runs on a thread the console starts for each event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event > CTRL_SHUTDOWN_EVENT) return FALSE;
    // The second of a kind takes its default course: the program ends.
    if (g_asked[event].exchange(true)) return FALSE;
    g_onStop(static_cast<int>(event) + 1);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // A closing console, a log-off or a shutdown ends the program when this
    // returns: the program gets a few seconds to stop its transfer and
    // remove what it was writing.
    Sleep(4000);
    return FALSE;
}

} // namespace

void CatchStopRequests(void (*onStop)(int)) {
    g_onStop = onStop;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

} // namespace platform
