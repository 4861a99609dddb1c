#pragma once
// The rows of a player memory pane, apart from any window: one row per
// directory entry as the device layer lists it, the order in which the pane
// shows them, and the texts of the header and the size column.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace player {

// Columns of the memory list, in their order.
enum Column : int { kColumnName = 0, kColumnNumber = 1, kColumnSize = 2, kColumnType = 3 };
inline constexpr int kColumnCount = 4;

// One player file.
struct MemoryRow {
    std::string name;       // display name, bytes as the player gave them
    int32_t number = 0;     // entry number in the memory's directory
    uint32_t size = 0;      // bytes
    std::string type;       // type name for the Type column
    mutable int image = -1; // index in the pane's image list, -1 until looked up
};

// "%uKB" of a file size in whole KB, rounded up ("0KB" for an empty file).
std::string SizeText(uint32_t bytes);

// A byte count as a value and a unit, rounded up: below 1 MB in "KB", else
// in "MB".
struct ByteCount {
    uint64_t value;
    const char* unit;
};
ByteCount CountBytes(uint64_t bytes);

// The status part of the header: the totals line while connected, else
// "Not Connected".
std::string StatusText(bool connected, uint64_t capacity, uint64_t freeSpace, int fileCount);
// The whole header line: " " + title + " - " + status.
std::string HeaderText(const std::string& title, const std::string& status);
// Whether the header line is set in bold: only while its title (UTF-8) is
// Latin, Greek or Cyrillic text. The bold face of an interface font seldom
// holds Hangul or another script, whose fallback face then sets part of the
// line in the regular weight; such a line is set in the regular weight whole.
bool HeaderInBold(const std::string& title);
// The longest header line that fits (fits() says whether a line does): the
// whole line, then without the total, without the free space, without the
// title; the file count stays to the end. A line that is not connected
// keeps "Not Connected".
std::string FittingHeaderText(const std::string& title, bool connected, uint64_t capacity,
                              uint64_t freeSpace, int fileCount,
                              const std::function<bool(const std::string&)>& fits);

// Compares two rows by a column, ascending: names and types as texts in the
// user's collation, case-sensitive; numbers and sizes as numbers. Ties fall
// back to the entry number, so that every order is total and follows the
// directory where a column cannot tell rows apart.
int CompareRows(const MemoryRow& a, const MemoryRow& b, int column);

} // namespace player
