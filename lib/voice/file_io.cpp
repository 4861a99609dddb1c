#include "file_io.h"

#include "base/platform/output_file.h"

#include <new>
#include <stdio_ext.h>

namespace convert {

namespace {

// Larger stream buffers than the default cut system calls on big files;
// the buffers are fixed, so memory use stays the same for any file size.
constexpr std::size_t kStreamBuffer = 1024 * 1024;

File Buffered(File file, std::unique_ptr<char[]>& buffer) {
    if (file) {
        buffer.reset(new (std::nothrow) char[kStreamBuffer]);
        if (buffer) std::setvbuf(file.get(), buffer.get(), _IOFBF, kStreamBuffer);
        // One thread uses each stream: skip the per-call stream lock, which
        // costs more than copying a 256-byte block.
        __fsetlocking(file.get(), FSETLOCKING_BYCALLER);
    }
    return file;
}

// Opens the output, unless it is the input file: then outIsInput is set
// and the file is left untouched.
void OpenOutput(FilePair& files, const char* inPath, const char* outPath) {
    files.out = Buffered(
        File(platform::OpenOutputUnlessInput(outPath, files.in.get(), inPath, files.outIsInput)),
        files.outBuffer);
}

} // namespace

FilePair OpenPair(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Buffered(File(std::fopen(inPath, "rb")), files.inBuffer);
    if (files.in)
        OpenOutput(files, inPath, outPath);
    else
        files.outOpenable = platform::CanOpenOutput(outPath);
    return files;
}

FilePair OpenInputFirst(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Buffered(File(std::fopen(inPath, "rb")), files.inBuffer);
    if (files.in) OpenOutput(files, inPath, outPath);
    return files;
}

bool Close(File& file) {
    return std::fclose(file.release()) == 0;
}

long StreamSize(std::FILE* in) {
    if (std::fseek(in, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(in);
    std::fseek(in, 0, SEEK_SET);
    return size < 0 ? 0 : size;
}

} // namespace convert
