// The device-change monitor: notices become one event on the main thread.
#include "tests/support/gui_harness/gui_harness.h"
#include "base/platform/gui/device_monitor.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <thread>

namespace {

class Pipe {
public:
    Pipe() { ok_ = pipe2(fds_, O_NONBLOCK | O_CLOEXEC) == 0; }
    ~Pipe() {
        if (fds_[0] >= 0) close(fds_[0]);
        CloseWriter();
    }
    bool Ok() const { return ok_; }
    int Reader() const { return fds_[0]; }
    void Notify() { ASSERT_EQ(write(fds_[1], "c", 1), 1); }
    void CloseWriter() {
        if (fds_[1] >= 0) close(fds_[1]);
        fds_[1] = -1;
    }

private:
    int fds_[2] = {-1, -1};
    bool ok_ = false;
};

struct Counter {
    wxEvtHandler handler;
    int events = 0;
    std::thread::id thread;
    Counter() {
        handler.Bind(wxEVT_SD_DEVICE_CHANGE, [this](wxCommandEvent&) {
            ++events;
            thread = std::this_thread::get_id();
        });
    }
};

TEST(DeviceMonitor, NotifierGivesOneEventPerBurst) {
    Pipe pipe;
    ASSERT_TRUE(pipe.Ok());
    Counter counter;
    platform::DeviceMonitor monitor(&counter.handler, pipe.Reader(), 100);
    ASSERT_TRUE(monitor.Running());

    pipe.Notify();
    EXPECT_TRUE(gui::PumpUntil([&] { return counter.events == 1; }, 3000));
    EXPECT_EQ(counter.thread, std::this_thread::get_id());
    gui::Pump(300);
    EXPECT_EQ(counter.events, 1);

    // A burst of notices close together is one change.
    for (int i = 0; i < 5; ++i) {
        pipe.Notify();
        wxMilliSleep(20);
    }
    EXPECT_TRUE(gui::PumpUntil([&] { return counter.events == 2; }, 3000));
    gui::Pump(300);
    EXPECT_EQ(counter.events, 2);
}

TEST(DeviceMonitor, StopsCleanlyAndSurvivesClosedNotifier) {
    Pipe pipe;
    ASSERT_TRUE(pipe.Ok());
    Counter counter;
    {
        platform::DeviceMonitor monitor(&counter.handler, pipe.Reader(), 50);
        pipe.CloseWriter(); // the notifier goes away: no event, no busy loop
        gui::Pump(200);
    }
    EXPECT_EQ(counter.events, 0);
    // Destroying a monitor with nothing pending returns at once.
    { platform::DeviceMonitor idle(&counter.handler, -1); }
    SUCCEED();
}

} // namespace
