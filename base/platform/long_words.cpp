#include "base/platform/long_words.h"

namespace platform {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

// The length of the character that starts at text[at]: a UTF-8 sequence,
// or 1 for a byte that does not start a valid one.
size_t CharLength(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 1;
    if (at + length > text.size()) return 1;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
    return length;
}

// Appends a run, broken into lines of at most maxWidth.
void AppendBroken(std::string& out, std::string_view run, int maxWidth, const TextWidth& widthOf) {
    if (widthOf(run) <= maxWidth) {
        out += run;
        return;
    }
    size_t lineStart = 0;
    size_t at = 0;
    while (at < run.size()) {
        const size_t next = at + CharLength(run, at);
        // A line holds at least one character, however narrow the box.
        if (at > lineStart && widthOf(run.substr(lineStart, next - lineStart)) > maxWidth) {
            out += run.substr(lineStart, at - lineStart);
            out += '\n';
            lineStart = at;
        }
        at = next;
    }
    out += run.substr(lineStart);
}

} // namespace

std::string BreakLongWords(const std::string& text, int maxWidth, const TextWidth& widthOf) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    size_t at = 0;
    while (at < text.size()) {
        if (IsSpace(text[at])) {
            out += text[at++];
            continue;
        }
        size_t end = at;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        AppendBroken(out, std::string_view(text).substr(at, end - at), maxWidth, widthOf);
        at = end;
    }
    return out;
}

} // namespace platform
