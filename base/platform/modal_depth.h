#pragma once
// How many questions and dialogs are open now: message boxes, file dialogs
// and modal windows. Each runs its own event loop, so work that would change
// what a question is about (a device change re-listing the panes) waits
// until none is open.
#include <chrono>

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

// Counts the time a question (a message box or a file dialog) is open, for
// as long as it lives.
class QuestionScope {
public:
    QuestionScope();
    ~QuestionScope();
    QuestionScope(const QuestionScope&) = delete;
    QuestionScope& operator=(const QuestionScope&) = delete;
};

// The time during which at least one question was open, since the program
// started: the difference over a job is the time it waited for answers.
std::chrono::steady_clock::duration TimeAsking();

} // namespace platform
