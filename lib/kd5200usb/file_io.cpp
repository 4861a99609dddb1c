#include "lib/kd5200usb/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace kd5200 {

FileHandle::~FileHandle() {
    if (fd_ >= 0) close(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

Status OpenSource(const std::string& path, FileHandle& file, uint64_t& size) {
    // Non-blocking, so that a FIFO is refused instead of waited on.
    file = FileHandle(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        const int error = errno;
        return error == ENOENT ? Fail(KD5200_ERR_FILE_NOT_FOUND, ENOENT)
                               : Fail(KD5200_ERR_FILE_READ, error);
    }
    struct stat st {};
    if (fstat(file.Get(), &st) != 0) return Fail(KD5200_ERR_FILE_READ, errno);
    if (S_ISDIR(st.st_mode)) return Fail(KD5200_ERR_FILE_READ, EISDIR);
    if (!S_ISREG(st.st_mode)) return Fail(KD5200_ERR_NOT_REGULAR);
    fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
    size = static_cast<uint64_t>(st.st_size);
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
        const ssize_t n = read(file.Get(), contents.data() + done, size - done);
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
    struct stat st {};
    if (stat(target.c_str(), &st) == 0 &&
        (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode))) {
        stream_ = FileHandle(open(target.c_str(), O_WRONLY | O_CLOEXEC));
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
        if (close(stream_.Release()) != 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
        return {};
    }
    if (const int error = file_.Commit()) return Fail(KD5200_ERR_FILE_WRITE, error);
    return {};
}

Status CreateScratch(const std::string& folder, FileHandle& file, std::string& path) {
    file = UnnamedFiles() ? FileHandle(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600))
                          : FileHandle(-1);
    if (file.Get() < 0) {
        // Without unnamed files: a named one, unlinked as soon as it is open.
        std::string pattern = folder + (folder.back() == '/' ? "" : "/") + "kd5200-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
        unlink(name.data());
        file = FileHandle(fd);
    }
    path = "/proc/self/fd/" + std::to_string(file.Get());
    return {};
}

Status WriteAll(int fd, const char* data, size_t size, int32_t code) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
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
        loff_t inPos = static_cast<loff_t>(inOffset), outPos = static_cast<loff_t>(outOffset);
        const ssize_t n = copy_file_range(in, &inPos, out, &outPos, length, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // unsupported, failed or early end: the plain path tells which
        inOffset += static_cast<uint64_t>(n);
        outOffset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    // Into a pipe the pages are spliced, without a copy through user space.
    while (pipe && length > 0) {
        loff_t inPos = static_cast<loff_t>(inOffset);
        const ssize_t n = splice(in, &inPos, out, nullptr, static_cast<size_t>(length), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the plain path tells why
        inOffset += static_cast<uint64_t>(n);
        outOffset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    std::vector<char> buffer;
    while (length > 0) {
        if (buffer.empty()) buffer.resize(1 << 20);
        const size_t chunk = length < buffer.size() ? static_cast<size_t>(length) : buffer.size();
        const ssize_t n = pread(in, buffer.data(), chunk, static_cast<off_t>(inOffset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(errors.read, errno);
        if (n == 0) return Fail(errors.read, EIO);
        size_t written = 0;
        while (written < static_cast<size_t>(n)) {
            const ssize_t w =
                seekable ? pwrite(out, buffer.data() + written, static_cast<size_t>(n) - written,
                                  static_cast<off_t>(outOffset + written))
                         : write(out, buffer.data() + written, static_cast<size_t>(n) - written);
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
    if (fallocate(out, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                  static_cast<off_t>(length)) == 0)
        return {};
    static const std::vector<char> zeros(1 << 16, 0);
    while (length > 0) {
        const size_t chunk = length < zeros.size() ? static_cast<size_t>(length) : zeros.size();
        const ssize_t w = pwrite(out, zeros.data(), chunk, static_cast<off_t>(offset));
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
    struct stat st {};
    const bool known = fstat(out, &st) == 0;
    if (!known || !S_ISREG(st.st_mode))
        return CopyData(in, inOffset, out, outOffset, length, true, known && S_ISFIFO(st.st_mode),
                        errors);
    const uint64_t end = inOffset + length;
    uint64_t at = inOffset;
    while (at < end) {
        // The next stretch of data and the hole before it; a file system
        // that cannot tell holes reports all of the file as data.
        off_t data = lseek(in, static_cast<off_t>(at), SEEK_DATA);
        if (data < 0) data = errno == ENXIO ? static_cast<off_t>(end) : static_cast<off_t>(at);
        const uint64_t dataStart = std::min<uint64_t>(static_cast<uint64_t>(data), end);
        if (Status s = ZeroRange(out, outOffset + (at - inOffset), dataStart - at, errors.write);
            !s)
            return s;
        if (dataStart >= end) break;
        off_t hole = lseek(in, data, SEEK_HOLE);
        if (hole < 0) hole = static_cast<off_t>(end);
        const uint64_t dataEnd = std::min<uint64_t>(static_cast<uint64_t>(hole), end);
        if (Status s = CopyData(in, dataStart, out, outOffset + (dataStart - inOffset),
                                dataEnd - dataStart, true, false, errors);
            !s)
            return s;
        at = dataEnd;
    }
    // A source that ends early is an error, also where its tail is a hole.
    struct stat source {};
    if (fstat(in, &source) == 0 && S_ISREG(source.st_mode) &&
        static_cast<uint64_t>(source.st_size) < end)
        return Fail(errors.read, EIO);
    // A hole at the end leaves the output short; it gets its full length.
    const uint64_t outEnd = outOffset + length;
    if (fstat(out, &st) == 0 && static_cast<uint64_t>(st.st_size) < outEnd &&
        ftruncate(out, static_cast<off_t>(outEnd)) != 0)
        return Fail(errors.write, errno);
    return {};
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace kd5200
