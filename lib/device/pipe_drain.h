#pragma once
// Reading a pipe while another party writes it, for the device layer's
// reads of player files. A read that fits in the pipe is read by its caller
// once the writer is done, with no second thread woken; a thread kept for
// the process drains it meanwhile only if the writer is still at it after a
// short while (a slow line, or more data than expected), so that the writer
// never waits for ever. A read that cannot fit is drained from the start.
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>

namespace device {

struct DrainJob;

class PipeDrain {
public:
    using Take = std::function<void(const unsigned char*, size_t)>;

    // Starts reading fd into the chunk bytes at buffer, handing each piece
    // to take. fits: what is expected fits in the pipe.
    PipeDrain(int fd, unsigned char* buffer, size_t chunk, Take take, bool fits);
    // Finishes, if Finish was not called.
    ~PipeDrain();
    PipeDrain(const PipeDrain&) = delete;
    PipeDrain& operator=(const PipeDrain&) = delete;

    // Once every write end is closed: reads what is left to the end.
    void Finish();
    // After Finish: whether the reads ended at the pipe's end (not on an error).
    bool AtEnd() const { return atEnd_; }

private:
    void Run();

    int fd_;
    unsigned char* buffer_;
    size_t chunk_;
    Take take_;
    bool kept_ = false;     // handed to the kept thread
    bool finished_ = false;
    bool atEnd_ = false;
    std::thread own_;       // when the kept thread was busy with another read
    std::unique_ptr<DrainJob> job_;
};

} // namespace device
