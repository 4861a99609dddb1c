#include "lib/settings/ini_text.h"

#include <iterator>

namespace settings {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

bool IsAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The characters U+100000 + b (UTF-8 F4 80 80..83 xx) back to the bytes b.
std::string CollapseByteCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
        if (at(i) == 0xF4 && i + 3 < text.size() && at(i + 1) == 0x80 && at(i + 2) >= 0x80 &&
            at(i + 2) <= 0x83 && at(i + 3) >= 0x80 && at(i + 3) <= 0xBF) {
            out += static_cast<char>(((at(i + 2) & 0x03) << 6) | (at(i + 3) & 0x3F));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A name from the file: a backslash keeps the next character as it is.
// Stops at end (a character of stop, or the line's end); returns where.
size_t ReadName(const std::string& line, size_t i, bool bracket, std::string& name) {
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (bracket ? c == ']' : (c == '=' || IsBlank(c))) break;
        if (c == '\\' && ++i == line.size()) break;
        name += line[i];
    }
    return i;
}

std::string EscapeName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 127 && !IsAlnum(u) && std::string_view("@_/-!.*%()").find(c) == std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}

std::string EscapeValue(std::string_view value) {
    if (value.empty()) return {};
    const bool quoted = IsBlank(value[0]) || value[0] == '"';
    std::string out;
    if (quoted) out += '"';
    for (const char c : value) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        case '"':
            out += quoted ? "\\\"" : "\"";
            break;
        default: out += c;
        }
    }
    if (quoted) out += '"';
    return out;
}

std::string UnescapeValue(std::string_view text) {
    std::string out;
    if (text.empty()) return out;
    const bool quoted = text[0] == '"';
    for (size_t i = quoted ? 1 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (++i == text.size()) break; // a trailing backslash is dropped
            switch (text[i]) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            default: break; // an unknown escape is dropped whole
            }
        } else if (c != '"' || !quoted) {
            out += c;
        } // else: the closing quote (or a stray one inside quotes), dropped
    }
    return out;
}

} // namespace

IniText::IniText(std::string_view text) {
    groups_[""];
    std::string current;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (raw.empty()) continue; // empty lines are not kept, as earlier versions did
        lines_.push_back(CollapseByteCharacters(raw));
        const Line line = std::prev(lines_.end());
        const std::string& s = *line;
        size_t i = 0;
        while (i < s.size() && IsBlank(s[i]))
            ++i;
        if (i == s.size() || s[i] == ';' || s[i] == '#') continue;
        std::string name;
        if (s[i] == '[') {
            if (ReadName(s, i + 1, true, name) >= s.size()) continue; // no closing bracket
            current = name;
            if (name.empty()) continue; // "[]" is the root group
            groups_[name].header = line;
            lastGroup_ = name;
            continue;
        }
        i = ReadName(s, i, false, name);
        while (i < s.size() && IsBlank(s[i]) && s[i] != '=')
            ++i;
        if (i >= s.size() || s[i] != '=' || name.empty()) continue;
        ++i;
        while (i < s.size() && IsBlank(s[i]))
            ++i;
        Group& group = groups_[current];
        group.entries[name] = {line, UnescapeValue(std::string_view(s).substr(i))};
        group.last = line; // a key given twice: the later line holds it
    }
}

std::optional<std::string> IniText::Read(const std::string& group, const std::string& key) const {
    const auto g = groups_.find(group);
    if (g == groups_.end()) return std::nullopt;
    const auto e = g->second.entries.find(key);
    if (e == g->second.entries.end()) return std::nullopt;
    return e->second.second;
}

std::optional<IniText::Line> IniText::EntryPlace(const Group& group) const {
    if (group.last) return group.last;
    return group.header;
}

IniText::Group& IniText::AddGroup(const std::string& name) {
    Group& group = groups_[name];
    // A new group follows the group declared last (after its entries), or
    // the entries before the first group.
    std::optional<Line> after;
    if (!lastGroup_.empty())
        after = EntryPlace(groups_[lastGroup_]);
    else
        after = EntryPlace(groups_[""]);
    // Built by appending: GCC 12 warns (-Wrestrict) of "[" + a temporary.
    std::string header = "[";
    header += EscapeName(name);
    header += ']';
    group.header = after ? lines_.insert(std::next(*after), header) : lines_.insert(lines_.begin(), header);
    lastGroup_ = name;
    return group;
}

void IniText::Write(const std::string& groupName, const std::string& key, std::string_view raw) {
    const std::string value = CollapseByteCharacters(raw);
    auto found = groups_.find(groupName);
    Group& group = found != groups_.end() && (groupName.empty() || found->second.header)
                       ? found->second
                       : AddGroup(groupName);
    const std::string line = EscapeName(key) + "=" + EscapeValue(value);
    const auto entry = group.entries.find(key);
    if (entry != group.entries.end()) {
        if (entry->second.second == value) return; // unchanged: its line stays as written
        *entry->second.first = line;
        entry->second.second = value;
        return;
    }
    const std::optional<Line> after = EntryPlace(group);
    const Line added = after ? lines_.insert(std::next(*after), line) : lines_.insert(lines_.begin(), line);
    group.entries[key] = {added, value};
    group.last = added;
}

std::string IniText::Text() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += '\n';
    }
    return out;
}

} // namespace settings
