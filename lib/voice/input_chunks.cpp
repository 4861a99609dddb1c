#include "input_chunks.h"

#include "base/platform/descriptors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace convert {

InputChunks::InputChunks(int fd) : fd_(fd) {
    platform::DescriptorInfo info;
    if (fd < 0 || !platform::Describe(fd, info) || info.kind != platform::FileKind::Regular) return;
    size_ = info.size;
}

const std::uint8_t* InputChunks::At(std::uint64_t offset, std::size_t n) {
    if (offset >= base_ && offset + n <= base_ + filled_) return buffer_.get() + (offset - base_);
    if (n > kChunkSize || offset < base_) return nullptr;
    constexpr std::size_t kBufferSize = 2 * kChunkSize;
    if (!buffer_) buffer_.reset(new std::uint8_t[kBufferSize]);
    // What is still wanted moves to the front; the next chunk is read behind it.
    const std::size_t keep =
        offset < base_ + filled_ ? static_cast<std::size_t>(base_ + filled_ - offset) : 0;
    if (keep > 0) std::memmove(buffer_.get(), buffer_.get() + (offset - base_), keep);
    base_ = offset;
    filled_ = keep;
    while (filled_ < n) {
        const std::uint64_t end = base_ + filled_;
        if (end >= size_) return nullptr; // cut short since it was opened
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>({kBufferSize - filled_, kChunkSize, size_ - end}));
        const long long got = platform::ReadSomeAt(fd_, buffer_.get() + filled_, want, end);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return nullptr;
        filled_ += static_cast<std::size_t>(got);
    }
    return buffer_.get();
}

} // namespace convert
