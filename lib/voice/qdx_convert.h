#pragma once
// The QDX to PCM WAV conversion shared by qdx2wav and the whole-file call.

#include "outcome.h"
#include "voice_convert.h"

#include <cstdio>

namespace convert {

// Decodes the QDX recording on `in` into a 16-bit PCM WAV on `out`. Both
// streams are open for binary access; `out` is empty. Calls `progress` (if
// any) after each frame's bytes are read, with the input position and size;
// a nonzero return stops the conversion. On NotQdx nothing is written; when
// stopped, the output holds a zeroed header and the frames decoded so far.
Outcome ConvertQdx(std::FILE* in, std::FILE* out, Progress progress, void* user);

} // namespace convert
