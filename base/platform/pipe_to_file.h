#pragma once
// A pipe whose contents a second thread moves into an open file while
// another party writes them. Used to take a copy from a device into a file
// that has no name yet: the device library writes to a path, the file is
// only named once its copy has been checked. The pipe has no name on disk;
// the writer opens it by the name of our descriptor.
#include <cstdint>
#include <string>
#include <thread>

namespace platform {

class PipeToFile {
public:
    // Makes the pipe and starts moving what comes into fd (open for writing,
    // positioned where the data goes); Path() is "" when that failed (errno
    // tells why). fd stays the caller's.
    explicit PipeToFile(int fd);
    ~PipeToFile();
    PipeToFile(const PipeToFile&) = delete;
    PipeToFile& operator=(const PipeToFile&) = delete;

    // Where the writer writes, in this process only; it may open and close
    // it once.
    const std::string& Path() const { return path_; }
    // Waits until the writer is done (call after it has closed the pipe):
    // 0, or the errno of a failed write into the file.
    int Finish();
    // Bytes written into the file (after Finish).
    uint64_t Written() const { return written_; }

private:
    void Move();

    int fd_;
    std::string path_;
    int read_ = -1;
    int keeper_ = -1; // a write end of our own, so that no early end is seen
    std::thread mover_;
    uint64_t written_ = 0;
    int error_ = 0;
};

} // namespace platform
