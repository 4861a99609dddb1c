#pragma once
// Buffered output of the merged HEX text.
#include <cstdio>
#include <string_view>
#include <vector>

// Collects output in a large buffer and writes it to a stream in big
// pieces; remembers whether any write failed. The stream stays the caller's:
// the caller flushes before closing it, and destruction writes nothing, so
// that a closed stream is never touched again.
class MergeOutput {
public:
    explicit MergeOutput(std::FILE* stream, std::size_t bufferSize = 1 << 17);
    MergeOutput(const MergeOutput&) = delete;
    MergeOutput& operator=(const MergeOutput&) = delete;

    void Append(std::string_view text) {
        if (buffer_.size() - used_ < text.size())
            Spill(text);
        else {
            text.copy(buffer_.data() + used_, text.size());
            used_ += text.size();
        }
    }
    // Like Append, but a large piece is written straight to the stream.
    void Put(std::string_view text) {
        if (text.size() < kDirectWrite)
            Append(text);
        else
            Spill(text, true);
    }
    // Ends a line the way the merged file ends all of them: CR LF.
    void EndLine() { Append("\r\n"); }
    // Writes what is buffered; false when any write so far failed.
    bool Flush();

private:
    void Spill(std::string_view text, bool direct = false);

    static constexpr std::size_t kDirectWrite = 4096;

    std::FILE* stream_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool ok_ = true;
};
