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
    {128, SD_TEXT("Songdock")},
    {2000, SD_TEXT("Upload From Internal Memory")},
    {2001, SD_TEXT("Upload From External Memory")},
    {2002, SD_TEXT("Download To Internal Memory")},
    {2003, SD_TEXT("Download To External Memory")},
    {3000, SD_TEXT("Name")},
    {3001, SD_TEXT("Size")},
    {3002, SD_TEXT("Type")},
    {3003, SD_TEXT("Date")},
    {3004, SD_TEXT("Internal Memory")},
    {3005, SD_TEXT("External Memory")},
    {3006, SD_TEXT("Total %d%s,  Remain %d%s,  %d File(s)")},
    {3007, SD_TEXT("Not Connected")},
    {3008, SD_TEXT("Confirm file deleting")},
    {3009, SD_TEXT("Mp3 files(*.mp3)")},
    {3010, SD_TEXT("All files(*.*)")},
    {3011, SD_TEXT("Number")},
    {3012, SD_TEXT("Format")},
    {3013, SD_TEXT("Codec Upgrade")},
    {3014, SD_TEXT("Intel Hex File(*.hex)\n*.hex\nAll Files(*.*)\n*.*\n\n")},
    {3015, SD_TEXT("Boot Code Upgrade")},
    {3018, SD_TEXT("Bitmap font(*.fot)\n*.fot\nAll Files(*.*)\n*.*\n\n")},
    {3019, SD_TEXT("LCD UNICODE Font Download")},
    {3020, SD_TEXT("Low Level Format")},
    {3100, SD_TEXT("Setting Timeout")},
    {3101, SD_TEXT("ROM Selection")},
    {3102, SD_TEXT("ADPCM Configuration")},
    {3103, SD_TEXT("Raw Data Read Configuration")},
    {3104, SD_TEXT("QDX Configuration")},
    {3200, "ZENTROVIA KD5200 FILE SYSTEM JAN 30 2002 99:99:99 9.9 ???"},
    {4002, SD_TEXT("Would delete file %s ?")},
    {4003, SD_TEXT("Would you delete the selected file?")},
    {4004, SD_TEXT("KD5200 is not Connected.")},
    {4005, SD_TEXT("Cannot download directory.")},
    {4006, SD_TEXT("Already exist the file.\nWill you overwrite?")},
    {4007, SD_TEXT("All file will be deleted.\nAre you sure?")},
    {4008, SD_TEXT("Please, Unplug USB connector!")},
    {4009, SD_TEXT("Please restart this program~")},
    {4010, SD_TEXT("Raw Data Filename or Range was not specified.")},
    {4011, SD_TEXT("Raw Data Range was exceeded.")},
};

static_assert(std::is_sorted(std::begin(kTable), std::end(kTable),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

Translator& Installed() {
    static Translator translator = nullptr;
    return translator;
}

} // namespace

void SetTranslator(Translator translator) {
    Installed() = translator;
}

const char* Tr(const char* english) {
    if (!english || !Installed()) return english;
    const char* translated = Installed()(english);
    return translated ? translated : english;
}

namespace {

const char* Untranslated(int id) {
    const auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kTable) && it->id == id ? it->text : nullptr;
}

} // namespace

const char* Load(int id) {
    const char* text = Untranslated(id);
    return text ? Tr(text) : nullptr;
}

std::string English(int id) {
    const char* text = Untranslated(id);
    return text ? text : "";
}

std::string Text(int id) {
    const char* text = Load(id);
    return text ? text : "";
}

} // namespace strings
