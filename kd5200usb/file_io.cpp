#include "kd5200usb/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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
    file = FileHandle(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        const int error = errno;
        return error == ENOENT ? Fail(KD5200_ERR_FILE_NOT_FOUND, ENOENT)
                               : Fail(KD5200_ERR_FILE_READ, error);
    }
    struct stat st {};
    if (fstat(file.Get(), &st) != 0) return Fail(KD5200_ERR_FILE_READ, errno);
    if (S_ISDIR(st.st_mode)) return Fail(KD5200_ERR_FILE_READ, EISDIR);
    if (!S_ISREG(st.st_mode)) return Fail(KD5200_ERR_FILE_READ, EINVAL);
    size = static_cast<uint64_t>(st.st_size);
    return {};
}

Status ReadSource(const std::string& path, int64_t maxBytes, std::string& contents) {
    FileHandle file;
    uint64_t size = 0;
    if (Status s = OpenSource(path, file, size); !s) return s;
    if (size > static_cast<uint64_t>(maxBytes)) return Fail(KD5200_ERR_BAD_IMAGE);
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

AtomicOutput::~AtomicOutput() {
    if (!temp_.empty()) unlink(temp_.c_str());
}

Status AtomicOutput::Create(const std::string& target) {
    target_ = target;
    const auto slash = target.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    std::string pattern =
        folder + (folder.back() == '/' ? "." : "/.") + BaseName(target) + ".XXXXXX";
    // Keep the temporary name within the file system's name limit.
    if (BaseName(pattern).size() > 255)
        pattern = folder + (folder.back() == '/' ? "" : "/") + ".kd5200.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    file_ = FileHandle(fd);
    temp_ = name.data();
    // mkstemp makes the file private; the result gets the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return {};
}

Status AtomicOutput::Commit() {
    if (close(file_.Release()) != 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    if (rename(temp_.c_str(), target_.c_str()) != 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    temp_.clear();
    return {};
}

Status CopyRange(int in, uint64_t inOffset, int out, uint64_t outOffset, uint64_t length,
                 CopyErrors errors) {
    // The kernel copies without a trip through user space where it can.
    while (length > 0) {
        loff_t inPos = static_cast<loff_t>(inOffset), outPos = static_cast<loff_t>(outOffset);
        const ssize_t n = copy_file_range(in, &inPos, out, &outPos, length, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // unsupported, failed or early end: the plain path tells which
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
            const ssize_t w = pwrite(out, buffer.data() + written, static_cast<size_t>(n) - written,
                                     static_cast<off_t>(outOffset + written));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return Fail(errors.write, errno);
            written += static_cast<size_t>(w);
        }
        inOffset += static_cast<uint64_t>(n);
        outOffset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    return {};
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace kd5200
