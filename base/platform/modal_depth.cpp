#include "base/platform/modal_depth.h"

#include <atomic>

namespace platform {

namespace {
// Questions are shown on the user-interface thread, but a device call run
// off it asks them from its own thread.
std::atomic<int> depth = 0;
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

} // namespace platform
