#include "tools/kdplayer/player_edits.h"

#include "tools/kdplayer/copies.h"
#include "lib/device/device_layer.h"
#include "lib/device/device_replace.h"

#include <vector>

namespace kdplayer {

namespace {

// Says that file is no longer as listed and gives the code of the change:
// the player's own when it was unplugged, else the entry's.
int Refused(int memory, const PlayerFile& file,
            device::Change change = device::Change::kFilesChanged) {
    if (change == device::Change::kFilesChanged)
        if (const device::Change player = Changed(memory, {}); player != device::Change::kNone)
            change = player;
    const int code = device::ChangeCode(change);
    Say(ShownText(file) + ": " + CodeText(code));
    return code;
}

// The entry now at number, read anew; false when there is none.
bool EntryAt(int memory, int number, PlayerFile& file) {
    std::vector<PlayerFile> files;
    if (!DevListEntryNames(memory, files, true) || number < 0 ||
        static_cast<size_t>(number) >= files.size())
        return false;
    file = files[static_cast<size_t>(number)];
    return true;
}

bool SameFile(const PlayerFile& a, const PlayerFile& b) {
    return a.shortName == b.shortName && a.longName == b.longName && a.size == b.size;
}

} // namespace

int DeleteChecked(int memory, const PlayerFile& file) {
    if (const device::Change change = Changed(memory, {file}); change != device::Change::kNone)
        return Refused(memory, file, change);
    // The device layer shows a failure itself.
    return DevDeleteFile(nullptr, memory, file.number, ShownText(file).c_str());
}

int RenameChecked(int memory, const PlayerFile& file, const std::string& newName,
                  bool asBytes) {
    if (const device::Change change = Changed(memory, {file}); change != device::Change::kNone)
        return Refused(memory, file, change);
    const int called = asBytes ? DevRenameEntryToBytes(memory, file.number, newName)
                               : DevRenameEntry(memory, file.number, newName.c_str());
    if (called == KD5200_ERR_NOT_CONNECTED) return KD5200_ERR_NOT_CONNECTED;
    // The device layer answers 1 whatever the library did: the listing tells.
    PlayerFile now;
    if (!EntryAt(memory, file.number, now)) return Refused(memory, file);
    // The player holds a name given as text in its code page.
    std::string stored = newName;
    if (!asBytes && !DevNameToPlayer(newName, stored)) stored = newName;
    if (now.longName != stored && now.shortName != stored) return KD5200_ERR_BAD_NAME;
    return KD5200_ERR_NONE;
}

int SwapChecked(int memory, const PlayerFile& file, const PlayerFile& neighbour) {
    if (const device::Change change = Changed(memory, {file, neighbour});
        change != device::Change::kNone)
        return Refused(memory, file, change);
    if (DevMoveEntry(memory, file.number, neighbour.number) == KD5200_ERR_NOT_CONNECTED)
        return KD5200_ERR_NOT_CONNECTED;
    PlayerFile now;
    if (!EntryAt(memory, neighbour.number, now) || !SameFile(now, file)) return Refused(memory, file);
    return KD5200_ERR_NONE;
}

int MoveEntry(int memory, int from, int to) {
    PlayerFile moving;
    if (!EntryAt(memory, from, moving)) return KD5200_ERR_NO_ENTRY;
    const int step = to < from ? -1 : 1;
    for (int at = from; at != to; at += step)
        if (DevMoveEntry(memory, at, at + step) == KD5200_ERR_NOT_CONNECTED)
            return KD5200_ERR_NOT_CONNECTED;
    PlayerFile now;
    if (!EntryAt(memory, to, now) || !SameFile(now, moving)) return Refused(memory, moving);
    return KD5200_ERR_NONE;
}

PutResult PutFile(int memory, const std::string& path, bool verify, const PlayerFile* existing) {
    if (!existing) {
        const CopyResult copy = CopyToPlayer(memory, path, verify, false);
        return {copy.code, copy.code == KD5200_ERR_NONE || copy.kept};
    }
    const device::ShownEntry old{existing->number, ShownText(*existing), existing->size};
    const DevReplaceResult replaced = DevReplaceFile(nullptr, memory, old, path, verify,
                                                     device::PlayerWatch(), CopyReports());
    const std::string name = DevPcBaseName(path);
    switch (replaced.end) {
    case DevReplaceEnd::kReplaced:
        return {KD5200_ERR_NONE, true};
    case DevReplaceEnd::kCompletesLater:
        Say(Formatted("%s: the new copy is on the player under a temporary name; it takes the old "
                      "file's name and place when the memory is next read",
                      name));
        return {replaced.code, true};
    case DevReplaceEnd::kOldKept:
        break;
    }
    if (replaced.tooLong)
        Say(Formatted(
            "%s: the name is too long to replace the file safely; delete the old file first",
            name));
    else if (replaced.differs)
        Say(Formatted("%s: the copy read back differs from the PC file", name));
    if (replaced.code != KD5200_ERR_CANCELLED || replaced.leftover)
        Say(Formatted(
            "%s: not replaced; the old file is still on the player%s", name,
            (replaced.leftover
                 ? Formatted(" (the copy beside it is removed when the memory is next read)")
                 : Message())));
    return {replaced.code, false};
}

int PutReplacing(int memory, const std::string& path, bool verify, const PlayerFile* existing) {
    return PutFile(memory, path, verify, existing).code;
}

} // namespace kdplayer
