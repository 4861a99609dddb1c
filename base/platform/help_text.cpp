#include "base/platform/help_text.h"

#include <cctype>
#include <cstdint>

namespace platform {

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Where the element that starts at `from` ends: past its closing tag
// ("</name ...>"), or the end of html.
size_t PastClosing(std::string_view html, size_t from, std::string_view name) {
    const std::string lower = AsciiLower(html);
    const std::string closing = "</" + std::string(name);
    const size_t at = lower.find(closing, from);
    if (at == std::string::npos) return html.size();
    const size_t end = html.find('>', at);
    return end == std::string_view::npos ? html.size() : end + 1;
}

} // namespace

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string DecodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t semi = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 10) {
            out += text[i];
            continue;
        }
        const std::string name(text.substr(i + 1, semi - i - 1));
        uint32_t code = 0;
        bool known = true;
        if (name == "amp")
            code = '&';
        else if (name == "lt")
            code = '<';
        else if (name == "gt")
            code = '>';
        else if (name == "quot")
            code = '"';
        else if (name == "apos")
            code = '\'';
        else if (name == "nbsp")
            code = 0xA0;
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            known = !digits.empty();
            for (char c : digits) {
                const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                              : hex && std::isxdigit(static_cast<unsigned char>(c))
                                  ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                  : -1;
                if (d < 0 || code > 0x10FFFF) {
                    known = false;
                    break;
                }
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            }
        } else {
            known = false;
        }
        if (!known) {
            out += text[i];
            continue;
        }
        AppendUtf8(out, code);
        i = semi;
    }
    return out;
}

std::string HelpPageText(std::string_view html) {
    const std::string lower = AsciiLower(html);
    std::string raw;
    raw.reserve(html.size());
    for (size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            raw += html[i++];
            continue;
        }
        if (lower.compare(i, 4, "<!--") == 0) {
            const size_t end = lower.find("-->", i + 4);
            i = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        size_t close = html.find('>', i);
        if (close == std::string_view::npos) break;
        size_t nameEnd = i + 1;
        while (nameEnd < close && !std::isspace(static_cast<unsigned char>(html[nameEnd])) &&
               html[nameEnd] != '/')
            ++nameEnd;
        const std::string name = lower.substr(i + 1, nameEnd - i - 1);
        if (name == "head" || name == "script" || name == "style" || name == "title")
            close = PastClosing(html, close, name) - 1;
        raw += ' ';
        i = close + 1;
    }
    const std::string decoded = DecodeEntities(raw);
    std::string out;
    out.reserve(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(decoded[i]);
        const bool nbsp = c == 0xC2 && i + 1 < decoded.size() &&
                          static_cast<unsigned char>(decoded[i + 1]) == 0xA0;
        if (std::isspace(c) || nbsp) {
            if (nbsp) ++i;
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += decoded[i];
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string HelpPageTitle(std::string_view html) {
    const std::string lower = AsciiLower(html);
    const size_t open = lower.find("<title");
    if (open == std::string::npos) return "";
    const size_t start = lower.find('>', open);
    if (start == std::string::npos) return "";
    const size_t end = lower.find("</title", start);
    return HelpPageText(
        html.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1));
}

} // namespace platform
