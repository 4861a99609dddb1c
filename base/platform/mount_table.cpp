#include "base/platform/mount_table.h"

#include "base/platform/paths.h"

#include <sstream>

namespace platform {

namespace {

// Decodes the kernel's "\ooo" escapes of blank, tab, newline and backslash.
std::string Unescape(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string> SplitBlanks(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (in >> field)
        fields.push_back(field);
    return fields;
}

} // namespace

std::vector<MountEntry> ParseMountInfo(const std::string& text) {
    std::vector<MountEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const std::vector<std::string> f = SplitBlanks(line);
        if (f.size() < 7) continue;
        size_t dash = 6;
        while (dash < f.size() && f[dash] != "-")
            ++dash;
        if (dash + 1 >= f.size()) continue;
        MountEntry e;
        const auto colon = f[2].find(':');
        if (colon == std::string::npos) continue;
        try {
            e.major = static_cast<unsigned>(std::stoul(f[2].substr(0, colon)));
            e.minor = static_cast<unsigned>(std::stoul(f[2].substr(colon + 1)));
        } catch (...) {
            continue;
        }
        e.root = Unescape(f[3]);
        e.mountPoint = Unescape(f[4]);
        e.fsType = Unescape(f[dash + 1]);
        if (dash + 2 < f.size()) e.source = Unescape(f[dash + 2]);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<MountEntry> ReadMountTable() {
    std::string text;
    if (!ReadWholeFile("/proc/self/mountinfo", text)) return {};
    return ParseMountInfo(text);
}

} // namespace platform
