#include "base/platform/writer_pipe.h"

#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace platform {

namespace {

// The read end of an empty pipe with no writer, kept for the thread's next
// read, and the room it was given.
struct KeptPipe {
    int read = -1;
    std::size_t capacity = 0;
    ~KeptPipe() {
        if (read >= 0) close(read);
    }
};

thread_local KeptPipe kept;

// A child process makes pipes of its own: the kept one is its parent's too.
void ForgetKeptPipe() {
    if (kept.read >= 0) close(std::exchange(kept.read, -1));
}

const int atFork = pthread_atfork(nullptr, nullptr, ForgetKeptPipe);

std::size_t Resized(int fd, std::size_t room) {
    int capacity = fcntl(fd, F_SETPIPE_SZ, static_cast<int>(room)); // best effort
    if (capacity < 0) capacity = fcntl(fd, F_GETPIPE_SZ);
    return capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
}

} // namespace

WriterPipe::~WriterPipe() {
    WriterDone();
    if (read_ < 0) return;
    // Only a pipe whose reader saw the end is known to be empty.
    if (atEnd_ && kept.read < 0) {
        kept.read = read_;
        kept.capacity = capacity_;
    } else {
        close(read_);
    }
}

bool WriterPipe::Create(std::size_t room) {
    if (kept.read >= 0) {
        // A new write end of the kept pipe, opened through its read end.
        const int fd = kept.read;
        const int writer =
            open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_WRONLY | O_CLOEXEC);
        if (writer >= 0) {
            read_ = std::exchange(kept.read, -1);
            write_ = writer;
            capacity_ = kept.capacity < room ? Resized(read_, room) : kept.capacity;
        } else {
            close(std::exchange(kept.read, -1));
        }
    }
    if (read_ < 0) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return false;
        read_ = ends[0];
        write_ = ends[1];
        capacity_ = Resized(read_, room);
    }
    atEnd_ = false;
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
