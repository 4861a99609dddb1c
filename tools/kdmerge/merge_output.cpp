#include "tools/kdmerge/merge_output.h"

MergeOutput::MergeOutput(std::FILE* stream, std::size_t bufferSize)
    : stream_(stream), buffer_(bufferSize) {}

bool MergeOutput::Flush() {
    if (used_ > 0) {
        if (std::fwrite(buffer_.data(), 1, used_, stream_) != used_) ok_ = false;
        used_ = 0;
    }
    if (std::fflush(stream_) != 0) ok_ = false;
    return ok_;
}

void MergeOutput::Spill(std::string_view text, bool direct) {
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, stream_) != used_) ok_ = false;
    used_ = 0;
    if (direct || text.size() >= buffer_.size()) {
        if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) ok_ = false;
    } else {
        text.copy(buffer_.data(), text.size());
        used_ = text.size();
    }
}
