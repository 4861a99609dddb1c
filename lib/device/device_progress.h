#pragma once
// A progress handler for one scope: installed when the guard is made, and
// the handler it replaced put back when the guard ends. Guards nest; the
// inner one may pass each report on to the one it replaced, in a phase of
// its choice (a copy's read-back is passed on as ProgressPhase::kCheck).
#include "lib/device/kd5200_binding.h"

namespace device {

class ProgressGuard {
public:
    explicit ProgressGuard(ProgressHandler handler);
    ~ProgressGuard();
    ProgressGuard(const ProgressGuard&) = delete;
    ProgressGuard& operator=(const ProgressGuard&) = delete;

    // Puts the replaced handler back now (idempotent); the guard's handler
    // gets no more reports.
    void Restore();
    // Passes a report to the handler this guard replaced; false (go on)
    // when there was none.
    bool Outer(KD5200_HWND parent, const char* operation, ProgressPhase phase, int64_t done,
               int64_t total) const;
    // Whether this guard replaced a handler.
    bool HasOuter() const { return static_cast<bool>(outer_); }

private:
    ProgressHandler outer_;
    bool installed_ = true;
};

} // namespace device
