#pragma once
// An open file descriptor, closed with this object.
#include <unistd.h>

#include <string>

namespace platform {

class OpenFile {
public:
    explicit OpenFile(int fd = -1) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int Fd() const { return fd_; }
    // Closes the file held and holds fd instead.
    void Reset(int fd = -1) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }
    // A name by which the file can be opened again, also once it has none.
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

} // namespace platform
