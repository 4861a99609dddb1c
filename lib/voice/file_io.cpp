#include "file_io.h"

#include "base/platform/files.h"
#include "base/platform/output_file.h"

#include <new>
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
        platform::UseStreamFromOneThread(file.get());
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

// Opens the output as a file that replaces the output file on Commit,
// unless the output is the input file.
void OpenReplacing(FilePair& files, const char* outPath) {
    if (platform::SameFile(fileno(files.in.get()), outPath)) {
        files.outIsInput = true;
        return;
    }
    auto replacing = std::make_unique<platform::AtomicFile>();
    if (replacing->Create(outPath) != 0) return;
    // The stream gets a descriptor of its own: the file's is needed to put
    // it in place after the stream is closed.
    const int fd = dup(replacing->Fd());
    std::FILE* stream = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!stream) {
        if (fd >= 0) close(fd);
        return;
    }
    files.out = Buffered(File(stream), files.outBuffer);
    files.replacing = std::move(replacing);
}

} // namespace

FilePair OpenPair(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Buffered(File(platform::OpenFile(inPath, "rb")), files.inBuffer);
    if (files.in)
        OpenReplacing(files, outPath);
    else
        files.outOpenable = platform::CanOpenOutput(outPath);
    return files;
}

bool Commit(FilePair& files) {
    const bool closed = !files.out || Close(files.out);
    return closed && (!files.replacing || files.replacing->Commit() == 0);
}

FilePair OpenInputFirst(const char* inPath, const char* outPath) {
    FilePair files;
    files.in = Buffered(File(platform::OpenFile(inPath, "rb")), files.inBuffer);
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
