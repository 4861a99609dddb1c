// Short and long names of the cached directory entries.
#include "lib/device/device_entries.h"

#include "lib/device/device_layer.h"
#include "lib/device/device_state.h"
#include "lib/lists/dir_entry_list.h"

#include <cstring>

using device::detail::S;

namespace {

std::string Trimmed(const char* field, size_t size) {
    std::string text(field, strnlen(field, size));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

bool DevListEntryNames(int memory, std::vector<DevEntryNames>& entries, bool force) {
    entries.clear();
    // The listing reads the directory when needed and trims the short-name
    // fields of the cache in place.
    HDirEntryList listing;
    if (!DevListFiles(memory, listing, force)) return false;
    const auto& cache = S().memories[memory];
    entries.reserve(static_cast<size_t>(cache.count));
    for (int32_t number = 0; number < cache.count; ++number) {
        const KD5200_DIRENTRY& entry = cache.entries[number];
        DevEntryNames names;
        names.number = number;
        // The short-name fields are padded with spaces.
        names.shortName = Trimmed(entry.name, sizeof entry.name);
        const std::string ext = Trimmed(entry.ext, sizeof entry.ext);
        if (!ext.empty()) names.shortName += "." + ext;
        names.longName.assign(entry.longName, strnlen(entry.longName, sizeof entry.longName));
        names.size = entry.size;
        entries.push_back(std::move(names));
    }
    return true;
}
