#include "ui/panes/background_call.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include <wx/event.h>
#include <wx/evtloop.h>

#include "base/platform/message_box.h"
#include "base/platform/modal_depth.h"
#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"

namespace panes {

namespace {

// Work handed from the call's thread to the window thread. Each piece is
// posted to the window as an event and also kept here, so that the window
// thread runs it from whichever loop it is in: the event, once its own loop
// dispatches events, or Serve while user input waits.
class WindowQueue : public wxEvtHandler {
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
        CallAfter([this] { Serve(); });
        answered_.wait(lock, [&] { return finished; });
    }

    // On the call's thread, when the call has returned.
    void Finish() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
            posted_.notify_all();
        }
        CallAfter([this] { Serve(); });
    }

    // On the window thread: runs what was handed over; ends the loop given
    // to RunLoop once the call has finished.
    void Serve() {
        std::unique_lock lock(mutex_);
        while (!tasks_.empty()) {
            std::function<void()> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task(); // may run a modal loop of its own
            lock.lock();
        }
        // A loop left from inside a nested one (a box opened meanwhile)
        // ends when that one does.
        if (finished_ && loop_ && !exiting_) {
            exiting_ = true;
            loop_->ScheduleExit();
        }
    }

    // On the window thread: waits up to wait for work or the end of the call.
    void Wait(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        posted_.wait_for(lock, wait, [&] { return finished_ || !tasks_.empty(); });
    }

    bool Finished() {
        std::lock_guard lock(mutex_);
        return finished_;
    }

    // On the window thread: handles every event, the user's input included,
    // in a loop of its own until the call has finished.
    void RunLoop() {
        wxGUIEventLoop loop;
        loop_ = &loop;
        // Only this thread ends the loop, from an event the loop dispatches,
        // so the end cannot be missed between this test and Run.
        if (!Finished()) loop.Run();
        loop_ = nullptr;
        Serve();
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable answered_;
    std::deque<std::function<void()>> tasks_;
    bool finished_ = false;
    wxGUIEventLoop* loop_ = nullptr; // while RunLoop runs it
    bool exiting_ = false;
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

} // namespace

int CallInBackground(const std::function<int(const device::ProgressHandler& progress)>& call,
                     const std::function<bool()>& inputAllowed,
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
    const device::ProgressHandler window = device::InstalledProgressHandler();
    const device::ProgressHandler progress = [&](KD5200_HWND parent, const char* operation,
                                                 device::ProgressPhase phase, int64_t done,
                                                 int64_t total) {
        if (!window) return false;
        const std::string what = operation ? operation : "";
        if (!forwarded.Due(what, phase, done, total)) return forwarded.stop;
        onWindowThread([&] { forwarded.stop = window(parent, what.c_str(), phase, done, total); });
        return forwarded.stop;
    };
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
                result = call(progress);
            } catch (...) {
                failure = std::current_exception();
            }
            queue.Finish();
        });
        // Until input is allowed (the progress dialog is up and keeps the
        // other windows disabled), the window thread handles all but the
        // user's input, which waits for the end of the call, in passes every
        // 10 ms at most.
        while (!queue.Finished()) {
            queue.Serve();
            if (waiting) waiting();
            if (inputAllowed && inputAllowed()) break;
            if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
                loop->YieldFor(wxEVT_CATEGORY_UI);
            queue.Wait(std::chrono::milliseconds(10));
        }
        // Then an event loop of its own answers the display, the screen
        // reader, the dialog's Cancel and the call's posts as they come.
        queue.RunLoop();
        worker.join();
    }

    platform::SetMessageBoxHandler(std::move(boxes));
    if (failure) std::rethrow_exception(failure);
    return result;
}

} // namespace panes
