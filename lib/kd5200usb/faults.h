#pragma once
// Faults the virtual player plays on request, for tests of what a program
// does with a bad copy or a player changed under it. KD5200_FAULTS=flip:N
// stores the N-th chunk a file transfer writes with one bit changed, eio:N
// fails that chunk with an I/O error. gone:N and renamed:N act as another
// program would between two reads of a directory: before the N-th read of a
// memory's directory answers, its first entry is deleted (gone) or renamed
// to "renamed-" and its name (renamed). Several faults are separated by
// commas ("flip:2,eio:5"). Counts run over the process, from the first
// transfer or directory read after the variable was set or changed:
// downloads count the chunks written to the player, uploads those written
// to the PC file, directory reads count for each memory apart.

namespace kd5200 {

enum class ChunkFault {
    None,
    Flip, // the chunk is stored with one bit changed
    Fail, // the chunk fails with an I/O error
};

// Counts one chunk written and tells what fault it gets.
ChunkFault NextChunkFault();

enum class ListFault {
    None,
    Gone,    // the memory's first entry is deleted
    Renamed, // the memory's first entry is renamed
};

// Counts one read of the memory's directory (0 or 1) and tells what change
// comes before it.
ListFault NextListFault(int memory);

} // namespace kd5200
