#include "base/platform/writer_pipe.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

WriterPipe::~WriterPipe() {
    WriterDone();
    if (read_ >= 0) close(read_);
}

bool WriterPipe::Create(std::size_t room) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    read_ = ends[0];
    write_ = ends[1];
    int capacity = fcntl(read_, F_SETPIPE_SZ, static_cast<int>(room)); // best effort
    if (capacity < 0) capacity = fcntl(read_, F_GETPIPE_SZ);
    capacity_ = capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
    // Our own write end stays open until the writer is done, so that the
    // reader sees the end only then.
    path_ = "/proc/self/fd/" + std::to_string(write_);
    return true;
}

void WriterPipe::WriterDone() {
    if (write_ >= 0) close(write_);
    write_ = -1;
}

long long ReadPipe(int fd, void* data, std::size_t n) {
    for (;;) {
        const ssize_t got = read(fd, data, n);
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

} // namespace platform
