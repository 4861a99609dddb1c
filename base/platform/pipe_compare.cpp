#include "base/platform/pipe_compare.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
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
    // The file is mapped, so that each piece read from the pipe is compared
    // where it lies, without a second copy.
    const char* file = nullptr;
    size_t size = 0;
    bool same = false;
    if (const int fd = open(expected_.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            size = static_cast<size_t>(st.st_size);
            same = true;
            if (size > 0) {
                void* at = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
                if (at == MAP_FAILED) {
                    same = false;
                    size = 0;
                } else {
                    file = static_cast<const char*>(at);
                }
            }
        }
        close(fd);
    }
    const std::unique_ptr<char[]> got(new char[kChunk]);
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
        same = piece <= size - at && std::memcmp(got.get(), file + at, piece) == 0;
        at += piece;
    }
    if (file) munmap(const_cast<char*>(file), size);
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
