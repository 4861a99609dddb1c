#pragma once
// Lets queued events run for a while in the window-side tests.
#include <wx/app.h>
#include <wx/utils.h>

#include <chrono>
#include <functional>

namespace testgui {

// Processes pending events until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        wxTheApp->ProcessPendingEvents();
        if (done()) return true;
        wxMilliSleep(10);
    }
    wxTheApp->ProcessPendingEvents();
    return done();
}

// Processes pending events for the whole time.
inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

} // namespace testgui
