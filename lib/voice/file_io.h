#pragma once
// Opening, sizing and closing the converters' input and output files.

#include <cstdio>
#include <memory>

#include "base/platform/atomic_file.h"

namespace convert {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Input (binary reading) and output (binary writing, created or truncated),
// each with a stream buffer that outlives it.
struct FilePair {
    std::unique_ptr<char[]> inBuffer;
    std::unique_ptr<char[]> outBuffer;
    File in;
    File out;
    // Where out goes until Commit puts it in place (OpenPair only).
    std::unique_ptr<platform::AtomicFile> replacing;
    // The output path names the input file itself (by any name or link):
    // out is null and the file was left untouched.
    bool outIsInput = false;
    // Without an input, the output is not opened: whether it could have been.
    bool outOpenable = false;
};

// Opens the input, then the output; a file that did not open is null. When
// the input does not open, the output is only looked at (outOpenable). A
// regular output file is written beside the output and takes its place
// only on Commit (a device or a FIFO is written straight), so that a failed
// run leaves an existing file of that name exactly as it was. An output
// that is the input file is never touched.
FilePair OpenPair(const char* inPath, const char* outPath);
// Closes the output of OpenPair and puts it in place; false when either fails.
bool Commit(FilePair& files);

// Opens the input, and the output only when the input opened and is not
// the output file.
FilePair OpenInputFirst(const char* inPath, const char* outPath);

// Closes a file; false when buffered output could not be written.
bool Close(File& file);

// Size of a seekable stream (seek to the end, read the position, seek back
// to the start); 0 when the stream cannot seek.
long StreamSize(std::FILE* in);

} // namespace convert
