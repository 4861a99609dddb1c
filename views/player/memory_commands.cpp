#include "views/player/memory_commands.h"

#include <algorithm>

#include "lib/device/device_layer.h"

namespace player {

bool DeleteEntries(KD5200_HWND parent, int memory, std::vector<NamedEntry> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const NamedEntry& a, const NamedEntry& b) { return a.number < b.number; });
    for (size_t i = 0; i < entries.size(); ++i) {
        const int32_t deleted = entries[i].number;
        if (DevDeleteFile(parent, memory, deleted, entries[i].name.c_str()) != 0) return false;
        for (size_t later = i + 1; later < entries.size(); ++later)
            if (entries[later].number > deleted) --entries[later].number;
    }
    return true;
}

bool CanMoveUp(const std::vector<int32_t>& numbers) {
    return !numbers.empty() &&
           std::all_of(numbers.begin(), numbers.end(), [](int32_t n) { return n >= 1; });
}

bool CanMoveDown(const std::vector<int32_t>& numbers, int fileCount) {
    return !numbers.empty() && std::all_of(numbers.begin(), numbers.end(),
                                           [&](int32_t n) { return n >= 0 && n < fileCount - 1; });
}

std::vector<int32_t> MoveEntries(int memory, std::vector<int32_t> numbers, bool up, int fileCount) {
    std::sort(numbers.begin(), numbers.end());
    if (up ? !CanMoveUp(numbers) : !CanMoveDown(numbers, fileCount)) return {};
    if (up) {
        for (int32_t& n : numbers) {
            DevMoveEntry(memory, n, n - 1);
            --n;
        }
    } else {
        for (auto n = numbers.rbegin(); n != numbers.rend(); ++n) {
            DevMoveEntry(memory, *n, *n + 1);
            ++*n;
        }
    }
    return numbers;
}

} // namespace player
