#include "lib/kd5200usb/transfer.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "lib/kd5200usb/attach.h"

namespace kd5200 {

namespace {

constexpr int64_t kChunkBytes = 1 << 20;
// While a chunk takes its simulated time, progress is reported this often,
// so that a slow line still shows work going on.
constexpr std::chrono::milliseconds kReportInterval{200};

using Clock = std::chrono::steady_clock;

Clock::time_point After(Clock::time_point start, double ms) {
    return start + std::chrono::duration_cast<Clock::duration>(
                       std::chrono::duration<double, std::milli>(ms));
}

} // namespace

int64_t SpeedFromEnvironment() {
    const char* text = std::getenv("KD5200_SPEED");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const long long speed = std::strtoll(text, &end, 10);
    return (*end == '\0' && speed > 0) ? speed : 0;
}

Transfer::Transfer(const TransferSettings& settings, const char* operation, Exchange exchange,
                   int64_t total)
    : settings_(settings), operation_(operation), exchange_(exchange), total_(total),
      start_(Clock::now()) {}

Status Transfer::Advance(int64_t done) {
    if (settings_.bytesPerSecond > 0) {
        const double rate = static_cast<double>(settings_.bytesPerSecond) / 1000.0;
        const double due = static_cast<double>(done) / rate;
        // A command waits for one answer; a transfer exchanges chunks.
        const double began =
            exchange_ == Exchange::Command ? 0.0 : static_cast<double>(last_) / rate;
        const int32_t limit =
            exchange_ == Exchange::Send ? settings_.sendTimeoutMs : settings_.receiveTimeoutMs;
        if (limit > 0 && due - began > limit) {
            const double fraction = limit / (due - began);
            if (Status s = WaitUntil(After(start_, began + limit),
                                     last_ + static_cast<int64_t>((done - last_) * fraction));
                !s)
                return s;
            return Fail(KD5200_ERR_TIMEOUT);
        }
        if (Status s = WaitUntil(After(start_, due), done); !s) return s;
    }
    last_ = done;
    if (!settings_.attachFolder.empty()) {
        if (settings_.plugGeneration < 0 && !IsAttached(settings_.attachFolder))
            return Fail(KD5200_ERR_NOT_ATTACHED);
        if (settings_.plugGeneration >= 0)
            if (Status s = settings_.plugWatch
                               ? settings_.plugWatch->Check(settings_.attachFolder,
                                                            settings_.plugGeneration)
                               : CheckPlugged(settings_.attachFolder, settings_.plugGeneration);
                !s)
                return s;
    }
    return Report(done, total_);
}

Status Transfer::WaitUntil(std::chrono::steady_clock::time_point until, int64_t reached) {
    const Clock::time_point from = Clock::now();
    const int64_t first = last_;
    for (Clock::time_point now = from; now < until; now = Clock::now()) {
        std::this_thread::sleep_until(std::min(until, now + kReportInterval));
        const Clock::time_point woke = Clock::now();
        if (woke >= until) break;
        // The part of the chunk's bytes its time so far stands for.
        const double part = std::chrono::duration<double>(woke - from) /
                            std::chrono::duration<double>(until - from);
        if (Status s = Report(first + static_cast<int64_t>((reached - first) * part), total_); !s)
            return s;
    }
    return {};
}

Status Transfer::Run() {
    if (Status s = Advance(0); !s) return s;
    for (int64_t done = 0; done < total_;) {
        done = std::min(total_, done + kChunkBytes);
        if (Status s = Advance(done); !s) return s;
    }
    return {};
}

Status Transfer::Report(int64_t done, int64_t total) {
    if (settings_.hook &&
        settings_.hook(settings_.parent, operation_, done, total, settings_.user) != 0)
        return Fail(KD5200_ERR_CANCELLED);
    return {};
}

} // namespace kd5200
