#include "lib/device/pipe_drain.h"

#include "base/platform/writer_pipe.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace device {

namespace {

using Clock = std::chrono::steady_clock;

// How long the writer of a read that fits in its pipe may take before the
// kept thread reads beside it.
constexpr std::chrono::milliseconds kGrace{50};

} // namespace

struct DrainJob {
    enum class State { kWaiting, kRunning, kTaken, kDone };
    std::function<void()> run;
    Clock::time_point start; // when the kept thread may begin
    State state = State::kWaiting;
};

namespace {

// The thread kept for the reads of the process: a backup reads a thousand
// small files twice, and a thread started for each read costs more than
// copying them. It holds one job at a time.
class KeptThread {
public:
    static KeptThread& Get() {
        static KeptThread kept;
        return kept;
    }

    ~KeptThread() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    // Takes job, unless another one is in hand: false then.
    bool Give(DrainJob& job) {
        std::lock_guard lock(mutex_);
        if (job_ || stopping_) return false;
        if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
        job.state = DrainJob::State::kWaiting;
        job_ = &job;
        // A thread asleep until later (or for good) is woken for it.
        if (job.start < until_) wake_.notify_one();
        return true;
    }

    // True when the job had not begun: it is the caller's to run. Else waits
    // until the thread has run it.
    bool TakeBackOrWait(DrainJob& job) {
        std::unique_lock lock(mutex_);
        if (job.state == DrainJob::State::kWaiting) {
            job.state = DrainJob::State::kTaken;
            job_ = nullptr;
            return true;
        }
        done_.wait(lock, [&job] { return job.state == DrainJob::State::kDone; });
        return false;
    }

private:
    void Serve() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!job_ || Clock::now() < job_->start) {
                until_ = job_ ? job_->start : Clock::time_point::max();
                if (job_)
                    wake_.wait_until(lock, until_);
                else
                    wake_.wait(lock);
                until_ = Clock::time_point::max();
                continue;
            }
            DrainJob* job = job_;
            job->state = DrainJob::State::kRunning;
            lock.unlock();
            job->run();
            lock.lock();
            job->state = DrainJob::State::kDone;
            job_ = nullptr;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    DrainJob* job_ = nullptr;
    Clock::time_point until_ = Clock::time_point::max(); // when the thread wakes by itself
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

PipeDrain::PipeDrain(int fd, unsigned char* buffer, size_t chunk, Take take, bool fits)
    : fd_(fd), buffer_(buffer), chunk_(chunk), take_(std::move(take)),
      job_(std::make_unique<DrainJob>()) {
    job_->run = [this] { Run(); };
    job_->start = fits ? Clock::now() + kGrace : Clock::now();
    kept_ = KeptThread::Get().Give(*job_);
    // Another read under way on another thread: this one gets its own.
    if (!kept_) own_ = std::thread([this] { Run(); });
}

PipeDrain::~PipeDrain() {
    Finish();
}

void PipeDrain::Finish() {
    if (finished_) return;
    finished_ = true;
    if (!kept_)
        own_.join();
    else if (KeptThread::Get().TakeBackOrWait(*job_))
        Run();
}

void PipeDrain::Run() {
    for (;;) {
        const long long n = platform::ReadPipe(fd_, buffer_, chunk_);
        atEnd_ = n == 0;
        if (n <= 0) return;
        take_(buffer_, static_cast<size_t>(n));
    }
}

} // namespace device
