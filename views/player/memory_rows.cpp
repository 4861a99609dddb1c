#include "views/player/memory_rows.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>

#include "lib/lists/file_rows.h"
#include "base/resources/strings.h"

namespace player {

std::string SizeText(uint32_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%" PRIu64 "KB", (uint64_t{bytes} + 1023) >> 10);
    return text;
}

ByteCount CountBytes(uint64_t bytes) {
    // 64-bit sums: a memory of nearly 4 GB would wrap in 32 bits.
    if (bytes < 1048576) return {(bytes + 1023) >> 10, strings::Tr(text::kSizeUnitKB)};
    return {(bytes + 1048575) >> 20, strings::Tr(text::kSizeUnitMB)};
}

namespace {

// The totals text takes "%d"; values in MB stay far below its limit.
int AsInt(uint64_t value) {
    return static_cast<int>(std::min<uint64_t>(value, INT_MAX));
}

} // namespace

std::string StatusText(bool connected, uint64_t capacity, uint64_t freeSpace, int fileCount) {
    if (!connected) return strings::Load(sid::kNotConnected);
    const ByteCount total = CountBytes(capacity), remain = CountBytes(freeSpace);
    char text[160];
    std::snprintf(text, sizeof text, strings::Load(sid::kMemoryTotals), AsInt(total.value),
                  total.unit, AsInt(remain.value), remain.unit, fileCount);
    return text;
}

std::string HeaderText(const std::string& title, const std::string& status) {
    return " " + title + " - " + status;
}

bool HeaderInBold(const std::string& title) {
    for (size_t at = 0; at < title.size();) {
        const auto lead = static_cast<unsigned char>(title[at]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (size_t i = 1; i < length && at + i < title.size(); ++i)
            point = (point << 6) | (static_cast<unsigned char>(title[at + i]) & 0x3F);
        // Latin, Greek and Cyrillic letters, and general punctuation.
        const bool european = point < 0x530 || (point >= 0x1E00 && point < 0x2070);
        if (!european) return false;
        at += length;
    }
    return true;
}

std::string FittingHeaderText(const std::string& title, bool connected, uint64_t capacity,
                              uint64_t freeSpace, int fileCount,
                              const std::function<bool(const std::string&)>& fits) {
    const std::string status = StatusText(connected, capacity, freeSpace, fileCount);
    std::vector<std::string> lines{HeaderText(title, status)};
    if (connected) {
        const ByteCount remain = CountBytes(freeSpace);
        char text[96];
        std::snprintf(text, sizeof text, strings::Tr("Remain %d%s,  %d File(s)"), AsInt(remain.value),
                      remain.unit, fileCount);
        lines.push_back(HeaderText(title, text));
        std::snprintf(text, sizeof text, strings::Tr("%d File(s)"), fileCount);
        lines.push_back(HeaderText(title, text));
        lines.push_back(std::string(" ") + text);
    } else {
        lines.push_back(" " + status);
    }
    for (const std::string& line : lines)
        if (fits(line)) return line;
    return lines.back();
}

int CompareRows(const MemoryRow& a, const MemoryRow& b, int column) {
    int result = 0;
    if (column == kColumnName)
        result = CompareNames(a.name, b.name);
    else if (column == kColumnSize)
        result = CompareValues(a.size, b.size);
    else if (column == kColumnType)
        result = CompareNames(a.type, b.type);
    return result != 0 ? result : CompareValues(a.number, b.number);
}

} // namespace player
