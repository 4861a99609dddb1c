#include "base/resources/strings.h"

#include <algorithm>
#include <iterator>

namespace strings {

namespace {

struct Entry {
    int id;
    const char* text;
};

// Sorted by id.
constexpr Entry kTable[] = {
    {128, "Songdock"},
    {2000, "Upload From Internal Memory"},
    {2001, "Upload From External Memory"},
    {2002, "Download To Internal Memory"},
    {2003, "Download To External Memory"},
    {3000, "Name"},
    {3001, "Size"},
    {3002, "Type"},
    {3003, "Date"},
    {3004, "Internal Memory"},
    {3005, "External Memory"},
    {3006, "Total %d%s,  Remain %d%s,  %d File(s)"},
    {3007, "Not Connected"},
    {3008, "Confirm file deleting"},
    {3009, "Mp3 files(*.mp3)"},
    {3010, "All files(*.*)"},
    {3011, "Number"},
    {3012, "Format"},
    {3013, "Codec Upgrade"},
    {3014, "Intel Hex File(*.hex)\n*.hex\nAll Files(*.*)\n*.*\n\n"},
    {3015, "Boot Code Upgrade"},
    {3018, "Bitmap font(*.fot)\n*.fot\nAll Files(*.*)\n*.*\n\n"},
    {3019, "LCD UNICODE Font Download"},
    {3020, "Low Level Format"},
    {3100, "Setting Timeout"},
    {3101, "ROM Selection"},
    {3102, "ADPCM Configuration"},
    {3103, "Raw Data Read Configuration"},
    {3104, "QDX Configuration"},
    {3200, "ZENTROVIA KD5200 FILE SYSTEM JAN 30 2002 99:99:99 9.9 ???"},
    {4002, "Would delete file %s ?"},
    {4003, "Would you delete the selected file?"},
    {4004, "KD5200 is not Connected."},
    {4005, "Cannot download directory."},
    {4006, "Already exist the file.\nWill you overwrite?"},
    {4007, "All file will be deleted.\nAre you sure?"},
    {4008, "Please, Unplug USB connector!"},
    {4009, "Please restart this program~"},
    {4010, "Raw Data Filename or Range was not specified."},
    {4011, "Raw Data Range was exceeded."},
};

static_assert(std::is_sorted(std::begin(kTable), std::end(kTable),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

} // namespace

const char* Load(int id) {
    const auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kTable) && it->id == id ? it->text : nullptr;
}

std::string Text(int id) {
    const char* text = Load(id);
    return text ? text : "";
}

} // namespace strings
