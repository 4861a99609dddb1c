#pragma once
// Pace and progress of a long operation: with a simulated line speed the
// operation takes its time and fails when one exchange with the player runs
// past its time-out; a progress hook sees the work done and may cancel; a
// player pulled out fails the operation at the next chunk.
#include <chrono>
#include <cstdint>
#include <string>

#include "lib/kd5200usb/errors.h"

namespace kd5200 {

class PlugWatch;

// How operations run: set by the library from its time-outs, hooks and
// KD5200_SPEED; the command line uses the defaults (disk speed, no hook).
struct TransferSettings {
    int64_t bytesPerSecond = 0;   // 0: disk speed
    int32_t receiveTimeoutMs = 0; // 0: no time-out
    int32_t sendTimeoutMs = 0;    // 0: no time-out
    KD5200X_ProgressHook hook = nullptr;
    void* user = nullptr;
    KD5200_HWND parent = nullptr;
    // The player folder whose attach state each chunk checks; empty: none.
    std::string attachFolder;
    // The plug generation the player was opened in; -1: the chunks check
    // only that it is plugged in.
    int64_t plugGeneration = -1;
    // Answers the checks of a known generation; null: each reads the state.
    PlugWatch* plugWatch = nullptr;
};

// KD5200_SPEED in bytes per second, or 0 when unset or not a positive number.
int64_t SpeedFromEnvironment();

// The direction of an operation's exchanges with the player.
enum class Exchange {
    Send,    // chunks written to the player, each within the send time-out
    Receive, // chunks read from the player, each within the receive time-out
    Command, // one command whose answer comes within the receive time-out
};

// One operation's pace and progress.
class Transfer {
public:
    Transfer(const TransferSettings& settings, const char* operation, Exchange exchange,
             int64_t total);

    // Reports the work done so far (of total), the end of one chunk: waits
    // for the simulated time, fails with KD5200_ERR_TIMEOUT when the chunk
    // (or a command) runs past its time-out, with KD5200_ERR_NOT_ATTACHED
    // when the player was pulled out (KD5200_ERR_REPLUGGED when it is back
    // meanwhile) and with KD5200_ERR_CANCELLED when the
    // hook asks to stop.
    Status Advance(int64_t done);
    // Advances to the total in chunks of 1 MiB.
    Status Run();
    // Reports progress without simulated time (work on the PC side).
    Status Report(int64_t done, int64_t total);

private:
    // Waits until a chunk's simulated end, reporting the bytes from the last
    // report towards reached on the way; fails when the hook asks to stop.
    Status WaitUntil(std::chrono::steady_clock::time_point until, int64_t reached);

    TransferSettings settings_;
    const char* operation_;
    Exchange exchange_;
    int64_t total_;
    int64_t last_ = 0;
    std::chrono::steady_clock::time_point start_;
};

} // namespace kd5200
