#pragma once
// Changes to a player memory that kdplayer makes in several steps, each
// step checked against a fresh listing so that a player changed by another
// program meanwhile is noticed rather than acted upon.
#include "tools/kdplayer/session.h"

#include <string>

namespace kdplayer {

// The last part of a PC path: the name the player gives a file it stores.
std::string PcBaseName(const std::string& path);

// Each returns the device library's code (0 done) and says what went wrong.
int DeleteChecked(int memory, const PlayerFile& file);
// newName is text, or with asBytes the player's own bytes (a name read from it).
int RenameChecked(int memory, const PlayerFile& file, const std::string& newName,
                  bool asBytes = false);
// Exchanges file with its neighbour (one place before or after it).
int SwapChecked(int memory, const PlayerFile& file, const PlayerFile& neighbour);
// Moves the entry at from to position to, by exchanges with neighbours.
int MoveEntry(int memory, int from, int to);

// Stores the PC file at path on the memory. A file of the same name there
// is kept aside under another name until the new copy is whole (and, with
// verify, found equal), then deleted, and the new copy takes its place in
// the order; when the copy fails the old file gets its name back. existing:
// the file of that name as listed, or null when there was none.
int PutReplacing(int memory, const std::string& path, bool verify, const PlayerFile* existing);

} // namespace kdplayer
