#pragma once
// A pipe whose contents are compared, while another party writes them, with
// a file on a second thread. Used to check a copy read back from a device
// without storing it: the reading and the comparing overlap. The pipe has
// no name on disk; the writer opens it by the name of our descriptor.
#include <atomic>
#include <string>
#include <thread>

namespace platform {

class PipeCompare {
public:
    // Makes the pipe and starts reading it; Path() is "" when that failed
    // (errno tells why).
    explicit PipeCompare(std::string expected);
    ~PipeCompare();
    PipeCompare(const PipeCompare&) = delete;
    PipeCompare& operator=(const PipeCompare&) = delete;

    // Where the writer writes, in this process only; it may open and close
    // it once.
    const std::string& Path() const { return path_; }
    // Waits until the writer is done (call after it has closed the pipe) and
    // tells whether it wrote exactly the file's bytes. False also when the
    // file could not be read.
    bool Same();

private:
    void Compare();
    void Finish();

    std::string expected_;
    std::string path_;
    int read_ = -1;
    int keeper_ = -1; // a write end of our own, so that no early EOF is seen
    std::thread reader_;
    std::atomic<bool> same_{false};
};

} // namespace platform
