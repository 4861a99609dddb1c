#include "player/memory_rows.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>

#include "resources/strings.h"

namespace player {

std::string SizeText(uint32_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%" PRIu64 "KB", (uint64_t{bytes} + 1023) >> 10);
    return text;
}

ByteCount CountBytes(uint64_t bytes) {
    // 64-bit sums: a memory of nearly 4 GB would wrap in 32 bits.
    if (bytes < 1048576) return {(bytes + 1023) >> 10, text::kSizeUnitKB};
    return {(bytes + 1048575) >> 20, text::kSizeUnitMB};
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

std::string KindName(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot);
}

namespace {

int Sign(int64_t value) {
    return (value > 0) - (value < 0);
}

} // namespace

int CompareRows(const MemoryRow& a, const MemoryRow& b, int column) {
    int result = 0;
    switch (column) {
    case kColumnName:
        result = Sign(std::strcoll(a.name.c_str(), b.name.c_str()));
        break;
    case kColumnSize:
        result = Sign(int64_t{a.size} - int64_t{b.size});
        break;
    case kColumnType:
        result = Sign(std::strcoll(a.type.c_str(), b.type.c_str()));
        break;
    default:
        break;
    }
    return result != 0 ? result : Sign(int64_t{a.number} - int64_t{b.number});
}

} // namespace player
