#include "lib/kd5200usb/short_name.h"

#include "lib/kd5200usb/player_names.h"

#include <cstring>
#include <vector>

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

// One character of a short name: a double-byte character of the code page
// is kept whole (as a FAT short name keeps it), any other non-ASCII
// character becomes '_'.
using Characters = std::vector<std::string>;

// Appends the mapped characters of text; blanks and dots are dropped.
void AppendMapped(Characters& out, const std::string& text) {
    size_t at = 0;
    for (const size_t length : NameCodePage().CharacterLengths(text)) {
        const char c = text[at];
        if (length == 2)
            out.push_back(text.substr(at, 2));
        else if (static_cast<unsigned char>(c) >= 0x80)
            out.push_back("_");
        else if (c != ' ' && c != '.')
            out.push_back(std::string(1, ShortFrom(c)));
        at += length;
    }
}

// The characters that fit in bytes, never half of one.
std::string Fit(const Characters& characters, size_t bytes) {
    std::string out;
    for (const std::string& c : characters) {
        if (out.size() + c.size() > bytes) break;
        out += c;
    }
    return out;
}

// Upper case of the single-byte characters; the second byte of a double-byte
// character may be a letter and stays as it is.
std::string UpperText(const std::string& text) {
    std::string out;
    size_t at = 0;
    for (const size_t length : NameCodePage().CharacterLengths(text)) {
        out += length == 1 ? std::string(1, Upper(text[at])) : text.substr(at, length);
        at += length;
    }
    return out;
}

// A valid short-name part in the code page: its non-ASCII characters are
// double-byte characters.
bool ShortPartInCodePage(const std::string& part, size_t maxLength, bool allowEmpty) {
    if (part.size() > maxLength || (part.empty() && !allowEmpty)) return false;
    size_t at = 0;
    for (const size_t length : NameCodePage().CharacterLengths(part)) {
        if (length == 1 && !ShortChar(part[at])) return false;
        at += length;
    }
    return true;
}

// The short name of a name that already is 8.3 apart from letter case.
bool AsShortName(const std::string& name, ShortName& out) {
    const auto dot = name.find('.');
    const std::string base = UpperText(name.substr(0, dot));
    const std::string ext = dot == std::string::npos ? "" : UpperText(name.substr(dot + 1));
    if (dot != std::string::npos && ext.empty()) return false;
    if (!ShortPartInCodePage(base, 8, false) || !ShortPartInCodePage(ext, 3, true)) return false;
    out = {base, ext};
    return true;
}

} // namespace

std::string ShortName::Text() const {
    return ext.empty() ? base : base + "." + ext;
}

bool ValidLongName(const std::string& name) {
    if (name.empty() || name.size() > kMaxLongName) return false;
    // Only single-byte characters are checked: the second byte of a
    // double-byte character may be a backslash or '|'.
    size_t at = 0;
    size_t last = 0;
    for (const size_t length : NameCodePage().CharacterLengths(name)) {
        const char c = name[at];
        const auto byte = static_cast<unsigned char>(c);
        if (length == 1 &&
            (byte < 0x20 || byte == 0x7F || std::strchr("\"*/:<>?\\|", c) != nullptr))
            return false;
        last = at;
        at += length;
    }
    const size_t lastLength = name.size() - last;
    return !(lastLength == 1 && (name.back() == '.' || name.back() == ' '));
}

bool StoredLongName(const std::string& name) {
    if (name.empty() || name.size() > kMaxLongName) return false;
    if (name.back() == '.' || name.back() == ' ') return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const bool afterHigh = i > 0 && static_cast<unsigned char>(name[i - 1]) >= 0x80;
        if (byte < 0x20 || byte == 0x7F || std::strchr("\"*/:<>?", name[i]) != nullptr)
            return false;
        if ((name[i] == '\\' || name[i] == '|') && !afterHigh) return false;
    }
    return true;
}

bool ValidShortPart(const std::string& part, size_t maxLength, bool allowEmpty) {
    if (part.size() > maxLength || (part.empty() && !allowEmpty)) return false;
    for (char c : part)
        if (!ShortChar(c) && static_cast<unsigned char>(c) < 0x80) return false;
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
    Characters base, ext;
    AppendMapped(base, rest.substr(0, dot));
    if (dot != std::string::npos) AppendMapped(ext, rest.substr(dot + 1));
    if (base.empty()) base.push_back("_");
    const std::string extension = Fit(ext, 3);

    // The numeric tail "~n" replaces the end of the basis name.
    for (unsigned n = 1;; ++n) {
        const std::string number = std::to_string(n);
        const size_t keep = number.size() < 7 ? 7 - number.size() : 0;
        ShortName candidate{Fit(base, keep), extension};
        candidate.base.push_back('~');
        candidate.base.append(number);
        if (!taken(candidate.Text())) return candidate;
    }
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    bool ascii = true;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
        ascii = ascii && static_cast<unsigned char>(a[i]) < 0x80;
    }
    // Letters that are second bytes of double-byte characters must match as they are.
    return ascii || UpperText(a) == UpperText(b);
}

} // namespace kd5200
