#include "base/platform/gui/event_wait.h"

#include <algorithm>
#include <thread>
#include <vector>

#include <glib.h>

namespace platform {

void WaitForWindowEvents(std::chrono::milliseconds most) {
    GMainContext* context = g_main_context_default();
    if (!g_main_context_acquire(context)) {
        std::this_thread::sleep_for(most); // another thread runs the sources
        return;
    }
    // The sources are asked what they wait for and polled, but not
    // dispatched: the caller's own pass handles them, with its filters.
    gint priority = 0;
    if (g_main_context_prepare(context, &priority)) {
        g_main_context_release(context);
        return; // something is ready already
    }
    std::vector<GPollFD> fds(16);
    gint timeout = -1;
    gint count;
    while ((count = g_main_context_query(context, priority, &timeout, fds.data(),
                                         static_cast<gint>(fds.size()))) >
           static_cast<gint>(fds.size()))
        fds.resize(static_cast<size_t>(count));
    const gint limit = static_cast<gint>(most.count());
    g_poll(fds.data(), static_cast<guint>(count), timeout < 0 ? limit : std::min(timeout, limit));
    g_main_context_check(context, priority, fds.data(), count);
    g_main_context_release(context);
}

void WakeWindowThread() {
    g_main_context_wakeup(g_main_context_default());
}

} // namespace platform
