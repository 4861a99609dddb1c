#pragma once
// kdplayer's hold on the player: the device layer opened for one command,
// memories named by word, player files named by number or name, and the
// check that an entry still is what was listed.
#include "tools/kdplayer/message.h"
#include "lib/device/device_entries.h"
#include "lib/device/device_watch.h"

#include <string>
#include <vector>

namespace kdplayer {

using PlayerFile = DevEntryNames;

// The name Songdock shows for an entry: the long name, else the short one.
inline const std::string& ShownName(const PlayerFile& file) {
    return file.longName.empty() ? file.shortName : file.longName;
}

// That name as text, for the terminal and for matching the names a person
// types: the player holds names in its code page.
std::string ShownText(const PlayerFile& file);

// Prints "kdplayer: " and the message on standard error (clearing a progress
// bar first), and keeps it for a JSON error document.
void Say(const Message& message);
// Every message said so far, in order, in English.
const std::vector<std::string>& SaidMessages();

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads the device library and opens the player; 0, or kExitNoPlayer
    // after saying why.
    int Connect();
    // Whether the player has the memory (its directory is read when it
    // was not yet: a command reads only the memories it works on).
    bool Present(int memory) const;

private:
    bool open_ = false;
};

// "internal" or "0" is 0, "external" or "1" is 1; anything else -1.
int ParseMemory(const std::string& word);
// The memory's word ("internal", "external") and its name in the string
// table ("Internal Memory", "External Memory").
const char* MemoryWord(int memory);
Message MemoryName(int memory);

// Lists the memory's directory as read at the connection or after this
// program's last change of it (else anew) into files; false (after saying so) when
// the memory is absent or cannot be read. code receives the exit status.
bool ListMemory(const Session& session, int memory, std::vector<PlayerFile>& files, int& code);

// Finds each word among files: a number is an entry number, anything else
// a name (the long or the short name as the player's bytes, else as text,
// else as text ignoring case). A name that fits two entries is refused as
// ambiguous, naming their numbers. Says what is wrong unless quiet; returns
// 0, kExitNotFound or kExitUsage (that of the first word refused).
int ResolveFiles(const std::vector<std::string>& words, const std::vector<PlayerFile>& files,
                 std::vector<PlayerFile>& found, bool quiet = false);
// The entry of that name (long or short, as text or bytes, exactly), or null.
const PlayerFile* FindByName(const std::vector<PlayerFile>& files, const std::string& name);

// The entry as the device layer's watch compares it.
device::ShownEntry Shown(const PlayerFile& file);
std::vector<device::ShownEntry> Shown(const std::vector<PlayerFile>& files);

// What changed since the player was opened for this command: the player
// unplugged, even briefly, or the entries no longer at their numbers with
// their names and sizes, read anew (with whole, the memory holds no other).
// The check before each operation on an entry, since another program may
// change the player meanwhile.
device::Change Changed(int memory, const std::vector<PlayerFile>& files, bool whole = false);
// Whether entry file.number still holds that name and size and the player
// stayed plugged in.
bool StillListed(int memory, const PlayerFile& file);
// The watch of the player since it was opened for this command, or null.
const device::PlayerWatch* SessionWatch();

} // namespace kdplayer
