#pragma once
// A blocking device call run off the window thread, so that the window goes
// on answering (repaints, the progress dialog's Cancel, the screen reader)
// while the library works.
//
// The call runs on a thread of its own; the window thread waits in an event
// loop of its own. Whatever the call asks of the window on the way (its
// progress reports, its questions and error boxes) is posted to the window
// as an event, and the call waits for the answer, so that every window and
// the device layer's handlers are still used from the window thread alone,
// and the device layer keeps one operation at a time. While the call runs,
// device changes wait, as for an open question.
#include "lib/device/kd5200_binding.h"

#include <functional>

namespace panes {

// Runs call as above and returns its result. call is given the progress
// handler for its reports: each is passed on, on the window thread, to the
// handler installed when CallInBackground began, whose answer (a Cancel)
// stops the call at its next report. A copy passes it in its options
// (DevCopyOptions::progress); another call runs with it installed.
// The user's input reaches the windows only when inputAllowed() says so
// (the progress dialog is shown and keeps the other windows disabled);
// before that, it waits until the call ends. waiting(), when given, is
// called on the window thread every few milliseconds until input is allowed
// (to show a dialog on time, say).
int CallInBackground(const std::function<int(const device::ProgressHandler& progress)>& call,
                     const std::function<bool()>& inputAllowed,
                     const std::function<void()>& waiting = {});

} // namespace panes
