#include "file_io.h"

#include <fcntl.h>
#include <new>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the output like fopen's "wb", but looks at the file before cutting
// it: when it is the input (same device and inode, whichever name or link
// led there), it is closed untouched and outIsInput is set.
void OpenOutput(FilePair& files, const char* inPath, const char* outPath) {
    const int fd = ::open(outPath, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return;
    struct stat out {};
    struct stat in {};
    const bool haveIn =
        files.in ? ::fstat(fileno(files.in.get()), &in) == 0 : ::stat(inPath, &in) == 0;
    const bool known = ::fstat(fd, &out) == 0;
    if (known && haveIn && SameFile(in, out)) {
        ::close(fd);
        files.outIsInput = true;
        return;
    }
    // Devices and pipes have nothing to cut, as with O_TRUNC; nor has a new
    // file, and cutting one would make some file systems write it out at
    // close, as they do for a file replaced in place.
    if ((!known || (S_ISREG(out.st_mode) && out.st_size > 0)) && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return;
    }
    File file(::fdopen(fd, "wb"));
    if (!file) {
        ::close(fd);
        return;
    }
    files.out = Buffered(std::move(file), files.outBuffer);
}

} // namespace

FilePair OpenPair(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Buffered(File(std::fopen(inPath, "rb")), files.inBuffer);
    OpenOutput(files, inPath, outPath);
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
