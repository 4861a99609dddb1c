#include "base/platform/stop_requests.h"

#include <csignal>
#include <initializer_list>

namespace platform {

namespace {

void (*volatile g_onStop)(int) = nullptr;

void OnSignal(int signal) {
    g_onStop(signal);
    // The next one takes its default course.
    std::signal(signal, SIG_DFL);
}

} // namespace

void CatchStopRequests(void (*onStop)(int)) {
    g_onStop = onStop;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace platform
