#include "tools/kdplayer/interrupt.h"

#include "base/platform/stop_requests.h"

#include <csignal>

namespace kdplayer {

namespace {

volatile std::sig_atomic_t g_signal = 0;

void OnStop(int kind) {
    g_signal = kind;
}

} // namespace

void CatchInterrupts() {
    platform::CatchStopRequests(OnStop);
}

bool Interrupted() {
    return g_signal != 0;
}

} // namespace kdplayer
