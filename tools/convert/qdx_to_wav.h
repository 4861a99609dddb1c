#pragma once
// qdx2wav's conversion routine.

#include "lib/voice/voice_convert.h"

#include <cstdio>

namespace convert {

// Progress of qdx2wav's conversion: input position, input size, user value;
// a nonzero return stops the conversion.
using ProgressCallback = Progress;

// Results of QdxToWav and QkaToWav besides 0 (success).
inline constexpr int kResultRejected = -1; // not a recording, stopped, or a file did not open
inline constexpr int kResultNoDecoder = -2;
inline constexpr int kResultWriteError = -4;
inline constexpr int kResultReadError = -5;

// Decodes the QDX recording on `in` (open for binary reading) into a 16-bit
// PCM WAV on `out` (open for binary writing). Prints nothing. Returns 0 when
// the whole file was converted, -1 when the file is no QDX recording (output
// left empty) or `progress` stopped it, -2 when the decoder cannot be set
// up, -4 when writing the output failed, -5 when reading the input failed.
int QdxToWav(std::FILE* in, std::FILE* out, ProgressCallback progress, void* user);

} // namespace convert
