#include "output_stream.h"

#include "base/platform/files.h"

#include <cerrno>
#include <unistd.h>

namespace convert {

namespace {

// Writes all of n bytes, going on after a short write.
bool WriteAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace

bool OutputStream::Direct() {
    if (fd_ >= 0) return true;
    if (std::fflush(out_) != 0 || (fd_ = fileno(out_)) < 0) failed_ = true;
    return !failed_;
}

bool OutputStream::Write(const void* data, std::size_t n) {
    if (failed_) return false;
    if (fd_ >= 0) {
        failed_ = !WriteAll(fd_, static_cast<const char*>(data), n);
    } else if (std::fwrite(data, 1, n, out_) != n) {
        failed_ = true;
    }
    if (!failed_) length_ += n;
    return !failed_;
}

bool OutputStream::WriteThrough(const void* data, std::size_t n) {
    if (failed_ || !Direct()) return false;
    return Write(data, n);
}

bool OutputStream::WriteAt(long offset, const void* data, std::size_t n) {
    if (failed_) return false;
    if (fd_ >= 0) {
        // A file that cannot seek fails here, as the stream's seek would.
        failed_ = offset < 0 || !platform::WriteAt(fd_, data, n, static_cast<std::uint64_t>(offset));
    } else if (std::fseek(out_, offset, SEEK_SET) != 0 || std::fwrite(data, 1, n, out_) != n) {
        failed_ = true;
    }
    return !failed_;
}

bool OutputStream::Flush() {
    if (fd_ >= 0) return !failed_;
    if (!failed_ && (std::fflush(out_) != 0 || std::ferror(out_))) failed_ = true;
    return !failed_;
}

} // namespace convert
