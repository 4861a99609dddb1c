#pragma once
// Whether the player changed while a command waited: for the person's answer
// to a question or a file dialog (whose event loop lets anything happen), or
// since its files were listed. Every command on the player takes a watch
// before it waits and asks it before it acts; a command whose player changed
// does nothing and says why (ChangeText).
//
// The player counts as changed when it no longer answers (unplugged), when
// it was unplugged since the watch was made, however briefly (the library's
// plug count or the device monitor's count of changes moved), or when the
// files a command acts on are no longer where and what they were shown:
// another program may change the player without any plug.
#include <cstdint>
#include <string>
#include <vector>

namespace device {

// One file as the person was shown it: entry number, name bytes and size.
struct ShownEntry {
    int32_t number = -1;
    std::string name;
    uint32_t size = 0;
    bool operator==(const ShownEntry&) const = default;
};

enum class Change {
    kNone,
    kUnplugged,    // no player answers now
    kReplugged,    // unplugged and plugged in again: maybe another player
    kFilesChanged, // the files are no longer as shown
};

// When the change came: while a question was open, since the files were
// listed (a command that asks nothing), or during a transfer, before the
// copy of one file.
enum class ChangeMoment { kQuestion, kListing, kTransfer };

class PlayerWatch {
public:
    // Notes the plug count and the device-change count as they are now.
    PlayerWatch();

    // Whether the player is still the one watched, plugged in throughout.
    Change Player() const;
    // Player(), then each entry read anew: still at its number, with its name
    // bytes and size.
    Change Entries(int memory, const std::vector<ShownEntry>& entries) const;
    // Entries(), and the memory holds no other file: the whole memory is as shown.
    Change Memory(int memory, const std::vector<ShownEntry>& all) const;

private:
    int64_t generation_;
    uint64_t changes_;
};

// The memory's files as read now, or nothing when it cannot be read.
std::vector<ShownEntry> ListedEntries(int memory);

// The library's code of a change that stops an operation: 20 unplugged,
// 40 plugged in again, 23 the files changed; 0 for kNone.
int ChangeCode(Change change);

// What the person is told; "" for kNone. During a transfer the text speaks
// of the file, which the box names apart.
std::string ChangeText(Change change, ChangeMoment moment);

} // namespace device
