#include "kd5200usb/transfer.h"

#include <cstdlib>
#include <thread>

namespace kd5200 {

int64_t SpeedFromEnvironment() {
    const char* text = std::getenv("KD5200_SPEED");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const long long speed = std::strtoll(text, &end, 10);
    return (*end == '\0' && speed > 0) ? speed : 0;
}

Transfer::Transfer(const TransferSettings& settings, const char* operation, int64_t total)
    : settings_(settings), operation_(operation), total_(total),
      start_(std::chrono::steady_clock::now()) {}

Status Transfer::Advance(int64_t done) {
    if (settings_.bytesPerSecond > 0) {
        using Ms = std::chrono::duration<double, std::milli>;
        const double due =
            static_cast<double>(done) * 1000.0 / static_cast<double>(settings_.bytesPerSecond);
        if (settings_.receiveTimeoutMs > 0 && due > settings_.receiveTimeoutMs) {
            std::this_thread::sleep_until(
                start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             Ms(settings_.receiveTimeoutMs)));
            return Fail(KD5200_ERR_TIMEOUT);
        }
        std::this_thread::sleep_until(
            start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(Ms(due)));
    }
    return Report(done, total_);
}

Status Transfer::Report(int64_t done, int64_t total) {
    if (settings_.hook &&
        settings_.hook(settings_.parent, operation_, done, total, settings_.user) != 0)
        return Fail(KD5200_ERR_CANCELLED);
    return {};
}

} // namespace kd5200
