#include "qka_scanner.h"

#include <cstring>

namespace convert {

bool QkaScanner::IsSync(std::size_t at) const {
    return buffer_[at] == 0x7F && buffer_[at + 1] == 0x7F && buffer_[at + 2] == 0x7F;
}

QkaScanner::Status QkaScanner::Next(const std::uint8_t*& adpcm) {
    for (;;) {
        if (e_ - p_ < kLookAhead) {
            // Keep the unscanned rest and fill the buffer behind it. Once the
            // end has been met every further read gets nothing, but still
            // counts as a read and prints its progress line.
            const std::size_t rest = e_ - p_;
            std::memmove(buffer_, buffer_ + p_, rest);
            const std::size_t want = kBufferSize - rest;
            const std::size_t got = atEnd_ ? 0 : std::fread(buffer_ + rest, 1, want, in_);
            if (got < want) {
                if (std::ferror(in_)) return Status::ReadError;
                atEnd_ = true;
            }
            read_ += static_cast<long>(got);
            p_ = 0;
            e_ = rest + got;
            if (progress_ && progress_(read_, size_, user_) != 0) return Status::Stopped;
            if (got < want && e_ < kBlockSize) return Status::End;
        }

        // A block is taken when the next sync follows it, or when the input
        // ends within 4 bytes after it.
        const std::size_t left = e_ - p_;
        if (IsSync(p_) && (left >= kLookAhead ? IsSync(p_ + kBlockSize) : atEnd_)) {
            adpcm = buffer_ + p_ + 4;
            p_ += kBlockSize;
            return Status::Block;
        }
        ++p_;
    }
}

} // namespace convert
