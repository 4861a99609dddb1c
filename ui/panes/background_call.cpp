#include "ui/panes/background_call.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include <wx/evtloop.h>

#include "base/platform/gui/event_wait.h"
#include "base/platform/message_box.h"
#include "base/platform/modal_depth.h"
#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"

namespace panes {

namespace {

// Work handed from the call's thread to the window thread.
class WindowQueue {
public:
    // On the call's thread: runs task on the window thread and waits for it.
    void RunAndWait(const std::function<void()>& task) {
        std::unique_lock lock(mutex_);
        bool finished = false;
        tasks_.push_back([&] {
            task();
            std::lock_guard done(mutex_);
            finished = true;
            answered_.notify_all();
        });
        posted_.notify_all();
        platform::WakeWindowThread();
        answered_.wait(lock, [&] { return finished; });
    }

    // On the call's thread, when the call has returned.
    void Finish() {
        std::lock_guard lock(mutex_);
        finished_ = true;
        posted_.notify_all();
        platform::WakeWindowThread();
    }

    // On the window thread: runs what was handed over; false once the call
    // has finished and nothing is left. Waits at most wait for something.
    bool Serve(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        posted_.wait_for(lock, wait, [&] { return finished_ || !tasks_.empty(); });
        while (!tasks_.empty()) {
            std::function<void()> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task(); // may run a modal loop of its own
            lock.lock();
        }
        return !finished_;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable answered_;
    std::deque<std::function<void()>> tasks_;
    bool finished_ = false;
};

// Which progress reports go over to the window thread. A copy from a fast
// disk reports every few hundred microseconds, and each report handed over
// costs the window thread a pass of its loop; what the person sees and the
// answer to a Cancel change no faster than a report every 10 ms. The first
// and last report of each piece of work and every change of operation or
// phase always go.
struct ForwardedReports {
    static constexpr std::chrono::milliseconds kInterval{10};

    bool Due(const std::string& operation, device::ProgressPhase phase, int64_t done,
             int64_t total) {
        const auto now = std::chrono::steady_clock::now();
        const bool due = !any || operation != lastOperation || phase != lastPhase || done == 0 ||
                         (total > 0 && done >= total) || now - last >= kInterval;
        if (!due) return false;
        any = true;
        lastOperation = operation;
        lastPhase = phase;
        last = now;
        return true;
    }

    bool stop = false; // the window thread's last answer
    bool any = false;
    std::string lastOperation;
    device::ProgressPhase lastPhase{};
    std::chrono::steady_clock::time_point last;
};

// Events handled while the call runs: input only once it is allowed.
void HandleWindowEvents(bool input) {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) return;
    loop->YieldFor(input ? wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT : wxEVT_CATEGORY_UI);
}

} // namespace

int CallInBackground(const std::function<int()>& call, const std::function<bool()>& inputAllowed,
                     const std::function<void()>& waiting) {
    const std::thread::id windowThread = std::this_thread::get_id();
    WindowQueue queue;
    const auto onWindowThread = [&](const std::function<void()>& task) {
        if (std::this_thread::get_id() == windowThread)
            task();
        else
            queue.RunAndWait(task);
    };

    // The progress handler and message boxes in place run on the window thread.
    ForwardedReports forwarded;
    device::ProgressGuard progress([&](KD5200_HWND parent, const char* operation,
                                       device::ProgressPhase phase, int64_t done, int64_t total) {
        if (!progress.HasOuter()) return false;
        const std::string what = operation ? operation : "";
        if (!forwarded.Due(what, phase, done, total)) return forwarded.stop;
        onWindowThread([&] {
            forwarded.stop = progress.Outer(parent, what.c_str(), phase, done, total);
        });
        return forwarded.stop;
    });
    platform::MessageBoxHandler boxes = platform::SetMessageBoxHandler(nullptr);
    platform::SetMessageBoxHandler(
        [&](void* owner, const std::string& text, const std::string& caption, unsigned style) {
            int answer = 0;
            onWindowThread([&] { answer = boxes(owner, text, caption, style); });
            return answer;
        });

    int result = 0;
    std::exception_ptr failure;
    {
        // Device changes wait until the call is over, as for a question.
        const platform::ModalScope busy;
        std::thread worker([&] {
            try {
                result = call();
            } catch (...) {
                failure = std::current_exception();
            }
            queue.Finish();
        });
        // Until input is allowed, input events are put back after each pass
        // and would end every wait at once: the loop then runs every 10 ms.
        // Once allowed, it waits for the window's events themselves, so that
        // the display and the screen reader are answered without delay.
        for (bool input = false; queue.Serve(std::chrono::milliseconds(input ? 0 : 10));) {
            if (waiting) waiting();
            input = inputAllowed && inputAllowed();
            HandleWindowEvents(input);
            if (input) platform::WaitForWindowEvents(std::chrono::milliseconds(10));
        }
        worker.join();
    }

    platform::SetMessageBoxHandler(std::move(boxes));
    progress.Restore();
    if (failure) std::rethrow_exception(failure);
    return result;
}

} // namespace panes
