#include "lib/settings/profile_text.h"

namespace settings {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Whether the INI parser can take the line: blank, a comment, a group
// header with its closing bracket, or "key = value" with a non-empty key.
// A backslash escapes the next character in group and key names.
bool IsReadableLine(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) return false;
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] == ';' || line[i] == '#') return true;
    if (line[i] == '[') {
        for (++i; i < line.size(); ++i) {
            if (line[i] == '\\')
                ++i;
            else if (line[i] == ']')
                return true;
        }
        return false;
    }
    const size_t keyStart = i;
    for (; i < line.size() && line[i] != '=' && !IsBlank(line[i]); ++i)
        if (line[i] == '\\') ++i;
    if (i >= line.size() || i == keyStart) return false;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i < line.size() && line[i] == '=';
}

} // namespace

ProfileText ReadableProfileLines(std::string_view bytes, bool complete) {
    ProfileText result;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    result.lines.reserve(bytes.size() + 1);
    while (!bytes.empty()) {
        // Lines end in "\n", "\r\n" or a lone "\r".
        const size_t end = bytes.find_first_of("\r\n");
        const bool terminated = end != std::string_view::npos;
        const std::string_view line = bytes.substr(0, end);
        size_t next = terminated ? end + 1 : bytes.size();
        if (terminated && bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
        bytes.remove_prefix(next);
        if ((!terminated && !complete) || !IsReadableLine(line)) {
            result.damaged = true;
            continue;
        }
        result.lines.append(line);
        result.lines += '\n';
    }
    return result;
}

} // namespace settings
