#pragma once
// How many questions and dialogs are open now: message boxes, file dialogs
// and modal windows. Each runs its own event loop, so work that would change
// what a question is about (a device change re-listing the panes) waits
// until none is open.

namespace platform {

// Counts one open question or dialog for as long as it lives.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

// The number of questions and dialogs open now.
int OpenModalCount();

} // namespace platform
