#pragma once
// Changes to a player memory that kdplayer makes in several steps, each
// step checked against a fresh listing so that a player changed by another
// program meanwhile is noticed rather than acted upon.
#include "tools/kdplayer/session.h"

#include <string>

namespace kdplayer {

// Each returns the device library's code (0 done) and says what went wrong.
int DeleteChecked(int memory, const PlayerFile& file);
// newName is text, or with asBytes the player's own bytes (a name read from it).
int RenameChecked(int memory, const PlayerFile& file, const std::string& newName,
                  bool asBytes = false);
// Exchanges file with its neighbour (one place before or after it).
int SwapChecked(int memory, const PlayerFile& file, const PlayerFile& neighbour);
// Moves the entry at from to position to, by exchanges with neighbours.
int MoveEntry(int memory, int from, int to);

// What a put left on the player: the device library's code (0 done), and
// whether the file is on the player under its name even so, or takes its
// name at the memory's next reading (a copy that could not be checked, a
// replace the player was lost in the middle of). What happened is said.
struct PutResult {
    int code = 0;
    bool onPlayer = false;
};

// Stores the PC file at path on the memory. A file of the same name there
// (existing: as listed, or null when there was none) is replaced through
// the device layer: the new copy is stored under a temporary name, checked
// with verify, and only then takes the old file's name and place; on any
// failure the old file keeps them.
PutResult PutFile(int memory, const std::string& path, bool verify, const PlayerFile* existing);
// The same, giving the code alone.
int PutReplacing(int memory, const std::string& path, bool verify, const PlayerFile* existing);

} // namespace kdplayer
