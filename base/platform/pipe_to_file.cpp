#include "base/platform/pipe_to_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr size_t kChunk = 1 << 20;

// Writes all of size bytes.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

PipeToFile::PipeToFile(int fd) : fd_(fd) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    read_ = ends[0];
    keeper_ = ends[1];
    fcntl(read_, F_SETPIPE_SZ, static_cast<int>(kChunk)); // fewer wake-ups; best effort
    mover_ = std::thread([this] { Move(); });
    path_ = "/proc/self/fd/" + std::to_string(keeper_);
}

PipeToFile::~PipeToFile() {
    Finish();
    if (read_ >= 0) close(read_);
}

void PipeToFile::Move() {
    // The pages are spliced into the file where it can be done; otherwise
    // they are copied. After a failed write the pipe is still drained to
    // its end, so that the writer never blocks on it.
    bool splicing = true;
    std::vector<char> buffer;
    for (;;) {
        if (splicing && error_ == 0) {
            const ssize_t n = splice(read_, nullptr, fd_, nullptr, kChunk, SPLICE_F_MOVE);
            if (n > 0) {
                written_ += static_cast<uint64_t>(n);
                continue;
            }
            if (n == 0) return;
            if (errno == EINTR) continue;
            splicing = false;
            if (errno != EINVAL) error_ = errno;
        }
        if (buffer.empty()) buffer.resize(kChunk);
        const ssize_t n = read(read_, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        if (error_ != 0) continue;
        if (!WriteAll(fd_, buffer.data(), static_cast<size_t>(n)))
            error_ = errno != 0 ? errno : EIO;
        else
            written_ += static_cast<uint64_t>(n);
    }
}

int PipeToFile::Finish() {
    if (keeper_ >= 0) {
        close(keeper_);
        keeper_ = -1;
    }
    if (mover_.joinable()) mover_.join();
    return path_.empty() ? EBADF : error_;
}

} // namespace platform
