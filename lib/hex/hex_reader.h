#pragma once
// Character reader of Intel HEX text, shared by the image converter and kdmerge.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

// The header of one record, ":CCAAAATT", with the fields converted by
// HexDigitValue and the nine characters as they stand.
struct HexRecordHeader {
    uint8_t count = 0;
    uint16_t address = 0;
    uint8_t type = 0;
    char text[9] = {};
    unsigned line = 0; // 1-based line of the record mark
    // Where the header stands in the reader's buffer (null when it was read
    // across a refill); valid until the buffer is refilled.
    const char* source = nullptr;
};

// Told before a HexReader moves or replaces the contents of its buffer, so
// that views into the buffer can be used up first.
class HexBufferObserver {
public:
    virtual ~HexBufferObserver() = default;
    virtual void BeforeRefill() = 0;
};

// What ReadHeader found at the start of a line.
enum class HexStart { Record, NotRecord, End };

// Reads HEX text character by character through a large buffer, counting
// lines. It trusts the record structure: digits are converted by
// HexDigitValue whatever they are. The characters of a record after its
// header can be kept (capture) so that the record can be checked afterwards.
class HexReader {
public:
    explicit HexReader(std::FILE* file, std::size_t bufferSize = 1 << 16);

    // The next character (0-255), or EOF at the end of the file.
    int Get() {
        if (pos_ == end_ && !Refill()) return EOF;
        const unsigned char c = buffer_[pos_++];
        if (c == '\n') ++line_;
        if (capturing_) Capture(c);
        return c;
    }

    // Reads count digits, most significant first, into value; false when the
    // file ends first.
    bool ReadDigits(int count, uint32_t& value);

    // Reads one character and, when it is ":", the eight header digits.
    // End: the file ended (before or within the header). NotRecord: the
    // character read is left in header.text[0].
    HexStart ReadHeader(HexRecordHeader& header);

    // Skips characters up to and including the next line feed; false when
    // the file ends first.
    bool SkipLine();

    // Hands out the rest of the current line, up to and including its line
    // feed or up to the end of the file. A line that fits the buffer comes in
    // one piece; a longer one in several. Returns true with the last piece.
    bool NextLinePiece(std::string_view& piece);

    // The characters read into the buffer but not handed out yet; valid
    // until the next refill.
    std::string_view Buffered() const { return {buffer_.get() + pos_, end_ - pos_}; }

    // Hands out the first count characters of Buffered(), which hold lines
    // line feeds, as read; a fast lane for callers that parse in bulk.
    void Consume(std::size_t count, unsigned lines) {
        if (capturing_) Capture(std::string_view(buffer_.get() + pos_, count));
        pos_ += count;
        line_ += lines;
    }

    // Sets the observer told before every refill (null: none).
    void SetObserver(HexBufferObserver* observer) { observer_ = observer; }

    // Line number of the next character (1-based).
    unsigned Line() const { return line_; }
    // Whether reading failed (as opposed to reaching the end).
    bool Failed() const { return failed_; }

    // Starts keeping the characters read from now on, up to kCaptureLimit.
    void StartCapture() {
        capturing_ = true;
        captured_.clear();
        captureOverflow_ = false;
    }
    void StopCapture() { capturing_ = false; }
    // The characters kept since StartCapture.
    std::string_view Captured() const { return {captured_.data(), captured_.size()}; }
    // Whether more characters came than could be kept.
    bool CaptureOverflow() const { return captureOverflow_; }

    static constexpr std::size_t kCaptureLimit = 1024;

private:
    bool Refill();
    void Capture(unsigned char c) {
        if (captured_.size() < kCaptureLimit)
            captured_.push_back(static_cast<char>(c));
        else
            captureOverflow_ = true;
    }
    void Capture(std::string_view text);

    std::FILE* file_;
    HexBufferObserver* observer_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t pos_ = 0, end_ = 0;
    unsigned line_ = 1;
    bool eof_ = false, failed_ = false;
    bool capturing_ = false, captureOverflow_ = false;
    std::vector<char> captured_;
};
