#include "tools/kdplayer/interrupt.h"

#include <csignal>
#include <initializer_list>

namespace kdplayer {

namespace {

volatile std::sig_atomic_t g_signal = 0;

void OnSignal(int signal) {
    g_signal = signal;
    // The next one takes its default course.
    std::signal(signal, SIG_DFL);
}

} // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool Interrupted() {
    return g_signal != 0;
}

} // namespace kdplayer
