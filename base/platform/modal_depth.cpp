#include "base/platform/modal_depth.h"

namespace platform {

namespace {
// Questions are asked on the one user-interface thread only.
int depth = 0;
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
