#pragma once
// The QKA to IMA ADPCM WAV conversion shared by qka2wav and the whole-file call.

#include "outcome.h"
#include "voice_convert.h"

#include <cstdint>
#include <cstdio>

namespace convert {

class InputChunks;

// Copies the ADPCM blocks of the QKA recording on `in` into an IMA ADPCM WAV
// on `out` (open for binary writing, empty), using the 2048-byte work
// buffer `buffer`. Calls `progress` (if any) after every read with the bytes
// read so far and the input size; a nonzero return stops the conversion.
Outcome ConvertQka(std::FILE* in, std::FILE* out, std::uint8_t* buffer, Progress progress,
                   void* user);

// The same from a regular file read in large chunks, written in large
// batches straight to the file; progress is reported as the stream's would
// be. A file cut short meanwhile is a read error.
Outcome ConvertChunkedQka(InputChunks& in, std::FILE* out, Progress progress, void* user);

} // namespace convert
