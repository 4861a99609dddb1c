#include "lib/device/device_watch.h"

#include <algorithm>

#include "base/platform/device_changes.h"
#include "base/resources/strings.h"
#include "lib/device/device_layer.h"
#include "lib/lists/dir_entry_list.h"

namespace device {

namespace {

// Whether a player answers now.
bool Answers() {
    return DevGetHandle() && DevApi().TestConnection() != 0;
}

// The memory as read now: its entries, or false when it cannot be read.
bool ReadNow(int memory, std::vector<ShownEntry>& out) {
    HDirEntryList listing;
    if (!DevListFiles(memory, listing, true)) return false;
    for (const HDirEntryList::Entry& entry : listing)
        out.push_back({entry.number, entry.name.value_or(""), entry.size});
    return true;
}

// The English text of a change, marked for translation.
const char* EnglishChangeText(Change change, ChangeMoment moment) {
    switch (moment) {
    case ChangeMoment::kQuestion:
        return change == Change::kUnplugged
                   ? SD_TEXT("The player was unplugged while the question was open; nothing was "
                             "done.")
                   : text::kPlayerChanged;
    case ChangeMoment::kListing:
        return change == Change::kUnplugged
                   ? SD_TEXT("The player was unplugged since its files were listed; nothing was "
                             "done.")
                   : SD_TEXT("The player's files changed since they were listed; nothing was "
                             "done.");
    case ChangeMoment::kTransfer:
        break;
    }
    switch (change) {
    case Change::kUnplugged:
        return SD_TEXT(
            "The player was unplugged before this file was copied; the transfer stopped.");
    case Change::kReplugged:
        return SD_TEXT("The player was unplugged and plugged in again before this file was "
                       "copied; it was not copied, and the transfer stopped.");
    default:
        return SD_TEXT("This file changed on the player before it was copied; it was not "
                       "copied, and the transfer stopped.");
    }
}

} // namespace

PlayerWatch::PlayerWatch()
    : generation_(DevGetPlugGeneration()), changes_(platform::DeviceChangeCount()) {}

Change PlayerWatch::Player() const {
    if (!Answers()) return Change::kUnplugged;
    if (DevGetPlugGeneration() != generation_ || platform::DeviceChangeCount() != changes_)
        return Change::kReplugged;
    return Change::kNone;
}

Change PlayerWatch::Entries(int memory, const std::vector<ShownEntry>& entries) const {
    if (const Change change = Player(); change != Change::kNone) return change;
    std::vector<ShownEntry> now;
    if (!ReadNow(memory, now)) return Answers() ? Change::kFilesChanged : Change::kUnplugged;
    // A re-read that had to open the player again saw a plug the counts missed.
    if (const Change change = Player(); change != Change::kNone) return change;
    for (const ShownEntry& wanted : entries) {
        const auto found = std::find_if(now.begin(), now.end(), [&](const ShownEntry& entry) {
            return entry.number == wanted.number;
        });
        if (found == now.end() || !(*found == wanted)) return Change::kFilesChanged;
    }
    return Change::kNone;
}

Change PlayerWatch::Memory(int memory, const std::vector<ShownEntry>& all) const {
    if (const Change change = Entries(memory, all); change != Change::kNone) return change;
    return DevGetEntryCount(memory) == static_cast<int>(all.size()) ? Change::kNone
                                                                    : Change::kFilesChanged;
}

std::vector<ShownEntry> ListedEntries(int memory) {
    std::vector<ShownEntry> entries;
    if (!ReadNow(memory, entries)) entries.clear();
    return entries;
}

int ChangeCode(Change change) {
    switch (change) {
    case Change::kNone:
        return KD5200_ERR_NONE;
    case Change::kUnplugged:
        return KD5200_ERR_NOT_ATTACHED;
    case Change::kReplugged:
        return KD5200_ERR_REPLUGGED;
    case Change::kFilesChanged:
        break;
    }
    return KD5200_ERR_NO_ENTRY;
}

std::string ChangeText(Change change, ChangeMoment moment) {
    return change == Change::kNone ? std::string() : strings::Tr(EnglishChangeText(change, moment));
}

} // namespace device
