#include "lib/device/device_progress.h"

#include <utility>

namespace device {

ProgressGuard::ProgressGuard(ProgressHandler handler)
    : outer_(SetProgressHandler(std::move(handler))) {}

ProgressGuard::~ProgressGuard() {
    Restore();
}

void ProgressGuard::Restore() {
    if (!installed_) return;
    installed_ = false;
    SetProgressHandler(outer_);
}

bool ProgressGuard::Outer(KD5200_HWND parent, const char* operation, ProgressPhase phase,
                          int64_t done, int64_t total) const {
    return outer_ && outer_(parent, operation, phase, done, total);
}

} // namespace device
