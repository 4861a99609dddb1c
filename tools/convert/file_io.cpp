#include "file_io.h"

#include <new>
#include <stdio_ext.h>

namespace convert {

namespace {

// Larger stream buffers than the default cut system calls on big files;
// the buffers are fixed, so memory use stays the same for any file size.
constexpr std::size_t kStreamBuffer = 1024 * 1024;

File Open(const char* path, const char* mode, std::unique_ptr<char[]>& buffer) {
    File file(std::fopen(path, mode));
    if (file) {
        buffer.reset(new (std::nothrow) char[kStreamBuffer]);
        if (buffer) std::setvbuf(file.get(), buffer.get(), _IOFBF, kStreamBuffer);
        // One thread uses each stream: skip the per-call stream lock, which
        // costs more than copying a 256-byte block.
        __fsetlocking(file.get(), FSETLOCKING_BYCALLER);
    }
    return file;
}

} // namespace

FilePair OpenPair(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Open(inPath, "rb", files.inBuffer);
    files.out = Open(outPath, "wb", files.outBuffer);
    return files;
}

FilePair OpenInputFirst(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Open(inPath, "rb", files.inBuffer);
    if (files.in) files.out = Open(outPath, "wb", files.outBuffer);
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
