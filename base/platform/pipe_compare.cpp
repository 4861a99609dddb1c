#include "base/platform/pipe_compare.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The pipe holds a megabyte, so that the writer seldom waits; it is read in
// pieces that stay in the processor's cache while they are compared.
constexpr size_t kPipeBytes = 1 << 20;
constexpr size_t kChunk = 128 << 10;

// Reads up to size bytes, stopping early only at the end or on an error.
ssize_t ReadFull(int fd, char* into, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, into + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

PipeCompare::PipeCompare(std::string expected) : expected_(std::move(expected)) {
    // An unnamed pipe: nothing on disk, so that a killed process leaves
    // nothing behind. The writer opens it again by its descriptor's name.
    // Our own write end stays open until Same(), so that the reader sees the
    // end only once every writer is done.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    read_ = ends[0];
    keeper_ = ends[1];
    fcntl(read_, F_SETPIPE_SZ, static_cast<int>(kPipeBytes)); // fewer wake-ups; best effort
    reader_ = std::thread([this] { Compare(); });
    path_ = "/proc/self/fd/" + std::to_string(keeper_);
}

PipeCompare::~PipeCompare() {
    Finish();
    if (read_ >= 0) close(read_);
}

void PipeCompare::Compare() {
    // The file is read piece by piece beside the pipe, not mapped: a file
    // that another program cuts short meanwhile is then simply not the same.
    const int fd = open(expected_.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    bool same = fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const size_t size = same ? static_cast<size_t>(st.st_size) : 0;
    const std::unique_ptr<char[]> got(new char[2 * kChunk]);
    char* const mine = got.get() + kChunk;
    size_t at = 0;
    // The pipe is drained to its end even after a difference, so that the
    // writer never blocks on it.
    for (;;) {
        const ssize_t n = ReadFull(read_, got.get(), kChunk);
        if (n <= 0) {
            same = same && n == 0 && at == size; // nothing of the file left over
            break;
        }
        if (!same) continue;
        const size_t piece = static_cast<size_t>(n);
        same = piece <= size - at &&
               pread(fd, mine, piece, static_cast<off_t>(at)) == static_cast<ssize_t>(piece) &&
               std::memcmp(got.get(), mine, piece) == 0;
        at += piece;
    }
    if (fd >= 0) close(fd);
    same_ = same;
}

void PipeCompare::Finish() {
    if (keeper_ >= 0) {
        close(keeper_);
        keeper_ = -1;
    }
    if (reader_.joinable()) reader_.join();
}

bool PipeCompare::Same() {
    Finish();
    return !path_.empty() && same_;
}

} // namespace platform
