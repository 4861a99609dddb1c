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
};

// Attempts both opens before either result is looked at; a file that did
// not open is null.
FilePair OpenPair(const char* inPath, const char* outPath);

// Opens the input, and the output only when the input opened.
FilePair OpenInputFirst(const char* inPath, const char* outPath);

// Closes a file; false when buffered output could not be written.
bool Close(File& file);

// Size of a seekable stream (seek to the end, read the position, seek back
// to the start); 0 when the stream cannot seek.
long StreamSize(std::FILE* in);

} // namespace convert
