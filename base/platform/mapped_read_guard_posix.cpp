#include "base/platform/mapped_read_guard.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {

// The message is made before the read: the signal handler may only write it.
char failure[4200];
std::size_t failureLength = 0;
struct sigaction previous {};

void CutShort(int) {
    if (write(STDERR_FILENO, failure, failureLength) < 0) {
        // Nothing more can be said.
    }
    _exit(0);
}

} // namespace

MappedReadGuard::MappedReadGuard(const char* message) {
    failureLength = std::min(std::strlen(message), sizeof failure - 1);
    std::memcpy(failure, message, failureLength);
    struct sigaction action {};
    action.sa_handler = CutShort;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previous);
}

MappedReadGuard::~MappedReadGuard() {
    sigaction(SIGBUS, &previous, nullptr);
}

} // namespace platform
