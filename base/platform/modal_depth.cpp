#include "base/platform/modal_depth.h"

#include <atomic>
#include <mutex>

namespace platform {

namespace {
// Questions are shown on the user-interface thread, but a device call run
// off it asks them from its own thread.
std::atomic<int> depth = 0;

// How long questions have been open, summed over the times from the first
// opening to the last closing.
struct Asking {
    std::mutex mutex;
    int open = 0;
    std::chrono::steady_clock::time_point since;
    std::chrono::steady_clock::duration total{};
};
Asking& Clock() {
    static Asking asking;
    return asking;
}
} // namespace

ModalScope::ModalScope() {
    ++depth;
}

ModalScope::~ModalScope() {
    --depth;
}

int OpenModalCount() {
    return depth;
}

QuestionScope::QuestionScope() {
    Asking& a = Clock();
    const std::lock_guard lock(a.mutex);
    if (a.open++ == 0) a.since = std::chrono::steady_clock::now();
}

QuestionScope::~QuestionScope() {
    Asking& a = Clock();
    const std::lock_guard lock(a.mutex);
    if (--a.open == 0) a.total += std::chrono::steady_clock::now() - a.since;
}

std::chrono::steady_clock::duration TimeAsking() {
    Asking& a = Clock();
    const std::lock_guard lock(a.mutex);
    return a.total + (a.open > 0 ? std::chrono::steady_clock::now() - a.since
                                 : std::chrono::steady_clock::duration{});
}

} // namespace platform
