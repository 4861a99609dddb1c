#include "output_stream.h"

namespace convert {

bool OutputStream::Write(const void* data, std::size_t n) {
    if (failed_) return false;
    if (std::fwrite(data, 1, n, out_) != n) {
        failed_ = true;
        return false;
    }
    length_ += n;
    return true;
}

bool OutputStream::WriteAt(long offset, const void* data, std::size_t n) {
    if (failed_) return false;
    if (std::fseek(out_, offset, SEEK_SET) != 0 || std::fwrite(data, 1, n, out_) != n)
        failed_ = true;
    return !failed_;
}

bool OutputStream::Flush() {
    if (!failed_ && (std::fflush(out_) != 0 || std::ferror(out_))) failed_ = true;
    return !failed_;
}

} // namespace convert
