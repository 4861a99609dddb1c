#pragma once
// Whole-file voice conversions for library callers (the virtual player's
// upload): the same conversions as qka2wav and qdx2wav, without printing.

namespace convert {

// Progress of a conversion: bytes of input done and the input size; a
// nonzero return stops the conversion.
using Progress = int (*)(long done, long total, void* user);

// QKA recording to IMA ADPCM WAV (the output is created only when the input
// opens). Returns 0 on success, -1 when a file does not open, the output is
// the input file (then left untouched: the caller must not remove it) or the
// work buffer cannot be had, -3 when progress stopped it, -4 on a read or
// write error. On failure the output may be incomplete; the caller removes it.
int QkaFileToWav(const char* inPath, const char* outPath, Progress progress, void* user);

// QDX recording to 16-bit PCM WAV (the output is created only when the input
// opens). Returns 0 on success, -1 for a file that does not open, an output
// that is the input file (left untouched) or an input that is not a QDX
// recording (too short, no group header, a mode byte other than 0 or 1), -2
// when the decoder cannot be set up, -3 when progress stopped it, -4 on a
// read or write error.
int QdxFileToWav(const char* inPath, const char* outPath, Progress progress, void* user);

} // namespace convert
