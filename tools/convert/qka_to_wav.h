#pragma once
// qka2wav's conversion routine.

namespace convert {

// Copies the ADPCM blocks of the QKA file at `inPath` into an IMA ADPCM WAV
// at `outPath`, printing the progress line after every read and a message
// on standard error for a file that does not open or fails. Returns 0 on
// success, -1 when the work buffer cannot be had or a file does not open,
// -4 when writing the output failed, -5 when reading the input failed.
int QkaToWav(const char* inPath, const char* outPath);

} // namespace convert
