#pragma once
// A console program asked to stop: Ctrl+C, and where the system has them a
// closing console, TERM or HUP.

namespace platform {

// From now on, a request to stop calls onStop (in a signal handler, or on
// the console's own thread on Windows) with a number for its kind, instead
// of ending the program; a second request of the same kind ends it at once.
// onStop may only set a flag.
void CatchStopRequests(void (*onStop)(int kind));

} // namespace platform
