#pragma once
// Waiting on the window thread without handling anything: a loop that handles
// window events in passes of its own (as a background call's does) sleeps
// here until the display, the accessibility bus or a timer has something for
// it, or another thread wakes it, so that each of them is answered at once
// rather than at the next pass.
#include <chrono>

namespace platform {

// Returns when the window thread's event sources have something to handle,
// when WakeWindowThread is called, or after at most `most`.
void WaitForWindowEvents(std::chrono::milliseconds most);

// From any thread: ends a WaitForWindowEvents in progress, or the next one.
void WakeWindowThread();

} // namespace platform
