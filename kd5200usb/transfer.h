#pragma once
// Pace and progress of a long operation: with a simulated line speed the
// operation takes its time and fails when that exceeds the receive time-out;
// a progress hook sees the work done and may cancel.
#include <chrono>
#include <cstdint>

#include "kd5200usb/errors.h"

namespace kd5200 {

// How operations run: set by the library from its time-outs, hooks and
// KD5200_SPEED; the command line uses the defaults (disk speed, no hook).
struct TransferSettings {
    int64_t bytesPerSecond = 0;   // 0: disk speed
    int32_t receiveTimeoutMs = 0; // 0: no time-out
    KD5200X_ProgressHook hook = nullptr;
    void* user = nullptr;
    KD5200_HWND parent = nullptr;
};

// KD5200_SPEED in bytes per second, or 0 when unset or not a positive number.
int64_t SpeedFromEnvironment();

// One operation's pace and progress.
class Transfer {
public:
    Transfer(const TransferSettings& settings, const char* operation, int64_t total);

    // Reports the work done so far (of total): waits for the simulated time,
    // fails with KD5200_ERR_TIMEOUT when it runs past the time-out and with
    // KD5200_ERR_CANCELLED when the hook asks to stop.
    Status Advance(int64_t done);
    // Reports progress without simulated time (work on the PC side).
    Status Report(int64_t done, int64_t total);

private:
    TransferSettings settings_;
    const char* operation_;
    int64_t total_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace kd5200
