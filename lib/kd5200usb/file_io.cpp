#include "lib/kd5200usb/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <vector>

#include "base/platform/descriptors.h"

namespace kd5200 {

FileHandle::~FileHandle() {
    if (fd_ >= 0) platform::CloseDescriptor(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) platform::CloseDescriptor(fd_);
        fd_ = other.Release();
    }
    return *this;
}

Status OpenSource(const std::string& path, FileHandle& file, uint64_t& size) {
    // Non-blocking, so that a FIFO is refused instead of waited on.
    file = FileHandle(platform::OpenDescriptor(path, platform::OpenFor::ReadNoWait));
    if (file.Get() < 0) {
        const int error = errno;
        return error == ENOENT ? Fail(KD5200_ERR_FILE_NOT_FOUND, ENOENT)
                               : Fail(KD5200_ERR_FILE_READ, error);
    }
    platform::DescriptorInfo st;
    if (!platform::Describe(file.Get(), st)) return Fail(KD5200_ERR_FILE_READ, errno);
    if (st.kind == platform::FileKind::Folder) return Fail(KD5200_ERR_FILE_READ, EISDIR);
    if (st.kind != platform::FileKind::Regular) return Fail(KD5200_ERR_NOT_REGULAR);
    size = st.size;
    return {};
}

Status ReadSource(const std::string& path, int64_t maxBytes, int32_t tooLarge,
                  std::string& contents) {
    FileHandle file;
    uint64_t size = 0;
    if (Status s = OpenSource(path, file, size); !s) return s;
    if (size > static_cast<uint64_t>(maxBytes)) return Fail(tooLarge);
    contents.assign(size, '\0');
    size_t done = 0;
    while (done < size) {
        const long long n = platform::ReadSome(file.Get(), contents.data() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(KD5200_ERR_FILE_READ, errno);
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    contents.resize(done);
    return {};
}

namespace {

// Whether temporary files may be unnamed (O_TMPFILE). KD5200_NAMED_TEMPORARIES=1
// makes the player behave as on a file system without them.
bool UnnamedFiles() {
    const char* value = std::getenv("KD5200_NAMED_TEMPORARIES");
    return !value || std::string(value) != "1";
}

} // namespace

Status AtomicOutput::Create(const std::string& target, const std::string& playerFolder) {
    // A FIFO, a socket or a character device (links followed) changes no
    // file when written into: it is opened as it is, with no check of where
    // it lies. A pipe given by its name under /proc is one: the device layer
    // reads every file so, and resolving that name cost more than the read.
    if (platform::KindOf(target) == platform::FileKind::Stream) {
        stream_ = FileHandle(platform::OpenDescriptor(target, platform::OpenFor::Write));
        if (stream_.Get() < 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
        return {};
    }
    if (platform::InsideFolder(playerFolder, target)) return Fail(KD5200_ERR_OUTPUT_IN_PLAYER);
    if (const int error = file_.Create(target, UnnamedFiles()))
        return Fail(KD5200_ERR_FILE_WRITE, error);
    return {};
}

Status AtomicOutput::Commit() {
    if (stream_.Get() >= 0) {
        if (platform::CloseDescriptor(stream_.Release()) != 0)
            return Fail(KD5200_ERR_FILE_WRITE, errno);
        return {};
    }
    if (const int error = file_.Commit()) return Fail(KD5200_ERR_FILE_WRITE, error);
    return {};
}

Status CreateScratch(const std::string& folder, FileHandle& file, std::string& path) {
    file = FileHandle(platform::OpenScratchFile(folder, UnnamedFiles(), path));
    if (file.Get() < 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    return {};
}

Status WriteAll(int fd, const char* data, size_t size, int32_t code) {
    size_t done = 0;
    while (done < size) {
        const long long n = platform::WriteSome(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(code, errno);
        done += static_cast<size_t>(n);
    }
    return {};
}

namespace {

// Copies a range that holds data, in the kernel where it can. pipe: out is
// a pipe or a FIFO, which takes spliced pages but no copied range.
Status CopyData(int in, uint64_t inOffset, int out, uint64_t outOffset, uint64_t length,
                bool seekable, bool pipe, CopyErrors errors) {
    while (seekable && !pipe && length > 0) {
        const long long n = platform::CopyInSystem(in, inOffset, out, outOffset, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // unsupported, failed or early end: the plain path tells which
        length -= static_cast<uint64_t>(n);
    }
    // Into a pipe the pages are spliced, without a copy through user space.
    while (pipe && length > 0) {
        const long long n = platform::SpliceToPipe(in, inOffset, out, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the plain path tells why
        outOffset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    std::vector<char> buffer;
    while (length > 0) {
        if (buffer.empty()) buffer.resize(1 << 20);
        const size_t chunk = length < buffer.size() ? static_cast<size_t>(length) : buffer.size();
        const long long n = platform::ReadSomeAt(in, buffer.data(), chunk, inOffset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(errors.read, errno);
        if (n == 0) return Fail(errors.read, EIO);
        size_t written = 0;
        while (written < static_cast<size_t>(n)) {
            const long long w =
                seekable ? platform::WriteSomeAt(out, buffer.data() + written,
                                                 static_cast<size_t>(n) - written, outOffset + written)
                         : platform::WriteSome(out, buffer.data() + written,
                                               static_cast<size_t>(n) - written);
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno == ESPIPE && seekable) {
                seekable = false; // a FIFO: the data goes in order
                continue;
            }
            if (w < 0) return Fail(errors.write, errno);
            written += static_cast<size_t>(w);
        }
        inOffset += static_cast<uint64_t>(n);
        outOffset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    return {};
}

// Zeroes a range of a regular file, as a hole where the file system can.
Status ZeroRange(int out, uint64_t offset, uint64_t length, int32_t code) {
    if (length == 0) return {};
    if (platform::PunchHole(out, offset, length)) return {};
    static const std::vector<char> zeros(1 << 16, 0);
    while (length > 0) {
        const size_t chunk = length < zeros.size() ? static_cast<size_t>(length) : zeros.size();
        const long long w = platform::WriteSomeAt(out, zeros.data(), chunk, offset);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return Fail(code, errno);
        offset += static_cast<uint64_t>(w);
        length -= static_cast<uint64_t>(w);
    }
    return {};
}

} // namespace

Status CopyRange(int in, uint64_t inOffset, int out, uint64_t outOffset, uint64_t length,
                 CopyErrors errors) {
    platform::DescriptorInfo st;
    const bool known = platform::Describe(out, st);
    if (!known || st.kind != platform::FileKind::Regular)
        return CopyData(in, inOffset, out, outOffset, length, true, known && st.pipe, errors);
    const uint64_t end = inOffset + length;
    uint64_t at = inOffset;
    while (at < end) {
        // The next stretch of data and the hole before it; a file system
        // that cannot tell holes reports all of the file as data.
        const uint64_t dataStart = platform::NextData(in, at, end);
        if (Status s = ZeroRange(out, outOffset + (at - inOffset), dataStart - at, errors.write);
            !s)
            return s;
        if (dataStart >= end) break;
        const uint64_t dataEnd = platform::NextHole(in, dataStart, end);
        if (Status s = CopyData(in, dataStart, out, outOffset + (dataStart - inOffset),
                                dataEnd - dataStart, true, false, errors);
            !s)
            return s;
        at = dataEnd;
    }
    // A source that ends early is an error, also where its tail is a hole.
    platform::DescriptorInfo source;
    if (platform::Describe(in, source) && source.kind == platform::FileKind::Regular &&
        source.size < end)
        return Fail(errors.read, EIO);
    // A hole at the end leaves the output short; it gets its full length.
    const uint64_t outEnd = outOffset + length;
    if (platform::Describe(out, st) && st.size < outEnd && !platform::SetLength(out, outEnd))
        return Fail(errors.write, errno);
    return {};
}

std::string BaseName(const std::string& path) {
    return path.substr(platform::NameStart(path));
}

} // namespace kd5200
