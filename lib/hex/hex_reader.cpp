#include "lib/hex/hex_reader.h"

#include "lib/hex/hex_digit.h"

#include <algorithm>
#include <cstring>

namespace {

// HexDigitValue of every character, looked up instead of computed.
struct DigitValues {
    int value[256];
    DigitValues() {
        for (int c = 0; c < 256; ++c)
            value[c] = HexDigitValue(static_cast<char>(c));
    }
};
const DigitValues kValues;

inline uint32_t Field(const char* text, int digits) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i)
        v = v * 16 + static_cast<uint32_t>(kValues.value[static_cast<unsigned char>(text[i])]);
    return v;
}

} // namespace

HexReader::HexReader(std::FILE* file, std::size_t bufferSize)
    : file_(file), capacity_(std::max<std::size_t>(bufferSize, 64)) {
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    captured_.reserve(kCaptureLimit);
}

// Moves the unread characters to the front and fills the rest of the buffer.
bool HexReader::Refill() {
    if (eof_) return pos_ < end_;
    if (observer_) observer_->BeforeRefill();
    if (pos_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ < capacity_) {
        const std::size_t n = std::fread(buffer_.get() + end_, 1, capacity_ - end_, file_);
        end_ += n;
        if (n == 0) {
            if (std::ferror(file_)) failed_ = true;
            eof_ = true;
        }
    }
    return pos_ < end_;
}

bool HexReader::ReadDigits(int count, uint32_t& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        const int c = Get();
        if (c == EOF) return false;
        value = value * 16 + static_cast<uint32_t>(kValues.value[c]);
    }
    return true;
}

HexStart HexReader::ReadHeader(HexRecordHeader& header) {
    header.line = line_;
    // Fast path: the whole header is in the buffer and holds no line feed.
    if (end_ - pos_ >= 9 && !capturing_ && buffer_[pos_] == ':' &&
        !std::memchr(buffer_.get() + pos_ + 1, '\n', 8)) {
        header.source = buffer_.get() + pos_;
        std::memcpy(header.text, header.source, 9);
        pos_ += 9;
        header.count = static_cast<uint8_t>(Field(header.text + 1, 2));
        header.address = static_cast<uint16_t>(Field(header.text + 3, 4));
        header.type = static_cast<uint8_t>(Field(header.text + 7, 2));
        return HexStart::Record;
    }
    header.source = nullptr;
    int c = Get();
    if (c == EOF) return HexStart::End;
    if (c != ':') {
        header.text[0] = static_cast<char>(c);
        return HexStart::NotRecord;
    }
    header.text[0] = ':';
    for (int i = 1; i < 9; ++i) {
        c = Get();
        if (c == EOF) return HexStart::End;
        header.text[i] = static_cast<char>(c);
    }
    header.count = static_cast<uint8_t>(Field(header.text + 1, 2));
    header.address = static_cast<uint16_t>(Field(header.text + 3, 4));
    header.type = static_cast<uint8_t>(Field(header.text + 7, 2));
    return HexStart::Record;
}

bool HexReader::SkipLine() {
    std::string_view piece;
    while (!NextLinePiece(piece)) {
    }
    return !piece.empty() && piece.back() == '\n';
}

bool HexReader::NextLinePiece(std::string_view& piece) {
    std::size_t searched = pos_;
    for (;;) {
        const char* start = buffer_.get() + searched;
        const void* lf = std::memchr(start, '\n', end_ - searched);
        if (lf) {
            const std::size_t stop =
                static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.get()) + 1;
            piece = std::string_view(buffer_.get() + pos_, stop - pos_);
            pos_ = stop;
            ++line_;
            if (capturing_) Capture(piece);
            return true;
        }
        const std::size_t had = end_ - pos_;
        if (had == capacity_ || eof_) {
            // Longer than the buffer, or the last line without a line feed.
            piece = std::string_view(buffer_.get() + pos_, had);
            pos_ = end_;
            if (capturing_) Capture(piece);
            return eof_;
        }
        Refill();
        searched = pos_ + had;
    }
}

void HexReader::Capture(std::string_view text) {
    const std::size_t room = kCaptureLimit - captured_.size();
    if (text.size() > room) captureOverflow_ = true;
    captured_.insert(captured_.end(), text.begin(), text.begin() + std::min(room, text.size()));
}
