#include "base/platform/path_text.h"

#include <wx/strconv.h>

namespace platform {
namespace {

// One converter for both directions, independent of whether the window
// toolkit has set up its own file-name encoding yet.
const wxMBConvUTF8& PathConv() {
    static const wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

// Length of the valid UTF-8 sequence at the start of s, or 0 when the first
// byte does not begin one (overlong forms, surrogates and values above
// U+10FFFF are not valid).
size_t ValidSequenceLength(std::string_view s) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    size_t n;
    unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < n || b(1) < lo || b(1) > hi) return 0;
    for (size_t i = 2; i < n; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF) return 0;
    return n;
}

} // namespace

wxString PathToDisplayText(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    while (!bytes.empty()) {
        const size_t n = ValidSequenceLength(bytes);
        if (n == 0) {
            utf8 += "\xEF\xBF\xBD"; // U+FFFD for this one byte
            bytes.remove_prefix(1);
        } else {
            utf8.append(bytes.data(), n);
            bytes.remove_prefix(n);
        }
    }
    return wxString::FromUTF8(utf8.data(), utf8.size());
}

wxString PathToText(std::string_view bytes) {
    if (bytes.empty()) return wxString();
    return wxString(bytes.data(), PathConv(), bytes.size());
}

std::string PathFromText(const wxString& text) {
    if (text.empty()) return std::string();
    const wxScopedCharBuffer buf = text.mb_str(PathConv());
    return std::string(buf.data(), buf.length());
}

} // namespace platform
