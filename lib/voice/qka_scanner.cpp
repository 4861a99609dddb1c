#include "qka_scanner.h"

#include <cstring>

namespace convert {

bool QkaScanner::IsSync(std::size_t at) const {
    return window_[at] == 0x7F && window_[at + 1] == 0x7F && window_[at + 2] == 0x7F;
}

QkaScanner::Status QkaScanner::Next(const std::uint8_t*& adpcm) {
    for (;;) {
        if (e_ - p_ < kLookAhead) {
            // Keep the unscanned rest and fill the buffer behind it. Once the
            // end has been met every further read gets nothing, but still
            // counts as a read and prints its progress line.
            // A file read in chunks keeps its rest where it lies and "reads"
            // what a stream read would have given.
            const std::size_t rest = e_ - p_;
            const std::size_t want = kBufferSize - rest;
            std::size_t got = 0;
            if (in_) {
                std::memmove(buffer_, buffer_ + p_, rest);
                got = atEnd_ ? 0 : std::fread(buffer_ + rest, 1, want, in_);
                if (got < want && std::ferror(in_)) return Status::ReadError;
            } else {
                offset_ += p_;
                const auto left = static_cast<std::size_t>(size_ - read_);
                got = atEnd_ ? 0 : (want < left ? want : left);
                window_ = chunks_->At(offset_, rest + got);
                if (!window_) return Status::ReadError;
            }
            if (got < want) atEnd_ = true;
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
            adpcm = window_ + p_ + 4;
            p_ += kBlockSize;
            return Status::Block;
        }
        ++p_;
    }
}

} // namespace convert
