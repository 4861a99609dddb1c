#pragma once
// Faults the virtual player plays on request, for tests of what a program
// does with a bad copy: KD5200_FAULTS=flip:N stores the N-th chunk a file
// transfer writes with one bit changed, eio:N fails that chunk with an I/O
// error. Several faults are separated by commas ("flip:2,eio:5"). Chunks are
// counted over the process, from the first transfer after the variable was
// set or changed: downloads count the chunks written to the player, uploads
// those written to the PC file.

namespace kd5200 {

enum class ChunkFault {
    None,
    Flip, // the chunk is stored with one bit changed
    Fail, // the chunk fails with an I/O error
};

// Counts one chunk written and tells what fault it gets.
ChunkFault NextChunkFault();

} // namespace kd5200
