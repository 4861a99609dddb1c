#include "lib/kd5200usb/short_name.h"

#include <cstring>

namespace kd5200 {

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Characters a short name may hold besides letters and digits.
bool ShortSpecial(char c) {
    return c != '\0' && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

bool ShortChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || ShortSpecial(c);
}

// Maps one long-name character for a short name; non-ASCII and characters
// that a short name cannot hold become '_'.
char ShortFrom(char c) {
    const char u = Upper(c);
    return ShortChar(u) ? u : '_';
}

// Appends the mapped characters of text, one '_' per non-ASCII character.
void AppendMapped(std::string& out, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            out += '_';
            // Skip the continuation bytes of a UTF-8 sequence.
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80)
                ++i;
        } else if (text[i] != ' ' && text[i] != '.') {
            out += ShortFrom(text[i]);
        }
    }
}

// The short name of a name that already is 8.3 apart from letter case.
bool AsShortName(const std::string& name, ShortName& out) {
    const auto dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : base)
        c = Upper(c);
    for (char& c : ext)
        c = Upper(c);
    if (dot != std::string::npos && ext.empty()) return false;
    if (!ValidShortPart(base, 8, false) || !ValidShortPart(ext, 3, true)) return false;
    out = {base, ext};
    return true;
}

} // namespace

std::string ShortName::Text() const {
    return ext.empty() ? base : base + "." + ext;
}

bool ValidLongName(const std::string& name) {
    if (name.empty() || name.size() > kMaxLongName) return false;
    if (name.back() == '.' || name.back() == ' ') return false;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("\"*/:<>?\\|", c) != nullptr) return false;
    }
    return true;
}

bool ValidShortPart(const std::string& part, size_t maxLength, bool allowEmpty) {
    if (part.size() > maxLength || (part.empty() && !allowEmpty)) return false;
    for (char c : part)
        if (!ShortChar(c)) return false;
    return true;
}

ShortName MakeShortName(const std::string& longName,
                        const std::function<bool(const std::string&)>& taken) {
    ShortName exact;
    if (AsShortName(longName, exact) && !taken(exact.Text())) return exact;

    // Basis name: blanks and dots dropped, leading dots ignored, the text
    // after the last dot is the extension.
    const auto first = longName.find_first_not_of('.');
    const std::string rest = first == std::string::npos ? "" : longName.substr(first);
    const auto dot = rest.rfind('.');
    ShortName basis;
    AppendMapped(basis.base, rest.substr(0, dot));
    if (dot != std::string::npos) AppendMapped(basis.ext, rest.substr(dot + 1));
    if (basis.base.empty()) basis.base.push_back('_');
    if (basis.ext.size() > 3) basis.ext.resize(3);

    // The numeric tail "~n" replaces the end of the basis name.
    for (unsigned n = 1;; ++n) {
        const std::string number = std::to_string(n);
        const size_t keep = number.size() < 7 ? 7 - number.size() : 0;
        ShortName candidate{basis.base.substr(0, keep), basis.ext};
        candidate.base.push_back('~');
        candidate.base.append(number);
        if (!taken(candidate.Text())) return candidate;
    }
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

} // namespace kd5200
