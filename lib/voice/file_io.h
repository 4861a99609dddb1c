#pragma once
// Opening, sizing and closing the converters' input and output files.

#include <cstdio>
#include <memory>

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
    // The output path names the input file itself (by any name or link):
    // out is null and the file was left untouched.
    bool outIsInput = false;
    // Without an input, the output is not opened: whether it could have been.
    bool outOpenable = false;
};

// Opens the input, then the output; a file that did not open is null. When
// the input does not open, the output is only looked at (outOpenable), so
// that a failed run leaves an existing file of that name as it was. An
// output that is the input file is never truncated.
FilePair OpenPair(const char* inPath, const char* outPath);

// Opens the input, and the output only when the input opened and is not
// the output file.
FilePair OpenInputFirst(const char* inPath, const char* outPath);

// Closes a file; false when buffered output could not be written.
bool Close(File& file);

// Size of a seekable stream (seek to the end, read the position, seek back
// to the start); 0 when the stream cannot seek.
long StreamSize(std::FILE* in);

} // namespace convert
