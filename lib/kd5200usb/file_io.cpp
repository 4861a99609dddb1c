#include "lib/kd5200usb/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <random>
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
    if (!S_ISREG(st.st_mode)) return Fail(KD5200_ERR_FILE_READ, EINVAL);
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

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// The real path of path, whose last component may not exist.
std::string RealPath(const std::string& path) {
    if (char* real = realpath(path.c_str(), nullptr)) {
        std::string out = real;
        free(real);
        return out;
    }
    std::string folder = FolderOf(path);
    if (char* real = realpath(folder.c_str(), nullptr)) {
        folder = real;
        free(real);
    }
    return folder + (folder.back() == '/' ? "" : "/") + BaseName(path);
}

// Follows a chain of symbolic links that ends at a missing file.
std::string FollowDanglingLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t n = readlink(path.c_str(), target.data(), PATH_MAX);
        if (n <= 0) break;
        const std::string link(target.data(), static_cast<size_t>(n));
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    return path;
}

} // namespace

bool InsideFolder(const std::string& folder, const std::string& path) {
    const std::string base = RealPath(folder);
    const std::string resolved = RealPath(FollowDanglingLinks(path));
    return resolved == base ||
           (resolved.size() > base.size() && resolved.compare(0, base.size(), base) == 0 &&
            (base.back() == '/' || resolved[base.size()] == '/'));
}

namespace {

// The name by which an open file can be opened or linked again.
std::string FdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// A name for a new hidden file beside target: ".NAME." and six characters,
// or ".kd5200." and six when that would pass the file system's name limit.
std::string HiddenPattern(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string lead = folder + (folder.back() == '/' ? "." : "/.");
    const std::string name = BaseName(target);
    return name.size() + 9 > 255 ? lead + "kd5200." : lead + name + ".";
}

// Six characters as mkstemp would choose them.
std::string RandomSuffix() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device device;
    std::string suffix(6, 'X');
    for (char& c : suffix)
        c = kChars[device() % (sizeof kChars - 1)];
    return suffix;
}

// Removes the hidden temporaries of earlier transfers to the same target
// that were killed before they ended: those whose writer no longer holds
// their lock.
void RemoveStaleTemporaries(const std::string& pattern) {
    const std::string folder = FolderOf(pattern);
    const std::string prefix = BaseName(pattern);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = folder + "/" + name;
        FileHandle file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        struct stat st {};
        if (file.Get() < 0 || fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != geteuid())
            continue;
        if (flock(file.Get(), LOCK_EX | LOCK_NB) == 0) unlink(path.c_str());
    }
    closedir(dir);
}

} // namespace

AtomicOutput::~AtomicOutput() {
    if (!temp_.empty()) unlink(temp_.c_str());
}

Status AtomicOutput::Create(const std::string& target, const std::string& playerFolder) {
    if (InsideFolder(playerFolder, target)) return Fail(KD5200_ERR_OUTPUT_IN_PLAYER);
    struct stat st {
    }, link{};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Fail(KD5200_ERR_FILE_WRITE, EISDIR);
    const bool isLink = lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if ((exists && !S_ISREG(st.st_mode)) || (isLink && !exists)) {
        // A device, a FIFO or a link to a missing file: written in place.
        const int flags = exists ? O_WRONLY : O_WRONLY | O_CREAT | O_TRUNC;
        file_ = FileHandle(open(target.c_str(), flags | O_CLOEXEC, 0666));
        if (file_.Get() < 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
        target_ = target;
        direct_ = true;
        return {};
    }
    // A link to a regular file: the file it names is replaced.
    target_ = isLink ? RealPath(target) : target;
    const std::string folder = FolderOf(target_);
    // What killed transfers to the same target left behind.
    RemoveStaleTemporaries(HiddenPattern(target_));
    file_ = UnnamedFiles() ? FileHandle(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666))
                           : FileHandle(-1);
    if (!UnnamedFiles()) errno = EOPNOTSUPP;
    if (file_.Get() >= 0) {
        unnamed_ = true;
        path_ = FdPath(file_.Get());
        return {};
    }
    // EOPNOTSUPP, EISDIR or EINVAL: the file system cannot keep unnamed files.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return Fail(KD5200_ERR_FILE_WRITE, errno);
    return CreateNamed();
}

Status AtomicOutput::CreateNamed() {
    const std::string pattern = HiddenPattern(target_);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.insert(name.end(), {'X', 'X', 'X', 'X', 'X', 'X', '\0'});
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    file_ = FileHandle(fd);
    temp_ = name.data();
    path_ = temp_;
    // Held until the process ends, so that the next transfer sees it is in use.
    flock(fd, LOCK_EX | LOCK_NB);
    // mkstemp makes the file private; the result gets the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return {};
}

// Gives the unnamed file a hidden name beside the target (a link cannot
// replace an existing file), then renames it over the target.
Status AtomicOutput::LinkUnnamed() {
    const std::string pattern = HiddenPattern(target_);
    const std::string source = FdPath(file_.Get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = pattern + RandomSuffix();
        if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (rename(name.c_str(), target_.c_str()) != 0) {
                const int error = errno;
                unlink(name.c_str());
                return Fail(KD5200_ERR_FILE_WRITE, error);
            }
            return {};
        }
        if (errno != EEXIST) return Fail(KD5200_ERR_FILE_WRITE, errno);
    }
    return Fail(KD5200_ERR_FILE_WRITE, EEXIST);
}

Status AtomicOutput::Commit() {
    if (unnamed_) {
        if (Status s = LinkUnnamed(); !s) return s;
        unnamed_ = false;
        if (close(file_.Release()) != 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
        return {};
    }
    if (close(file_.Release()) != 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    if (temp_.empty()) return {};
    if (rename(temp_.c_str(), target_.c_str()) != 0) return Fail(KD5200_ERR_FILE_WRITE, errno);
    temp_.clear();
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
    path = FdPath(file.Get());
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

// Copies a range that holds data, in the kernel where it can.
Status CopyData(int in, uint64_t inOffset, int out, uint64_t outOffset, uint64_t length,
                bool seekable, CopyErrors errors) {
    while (seekable && length > 0) {
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
    const bool regular = fstat(out, &st) == 0 && S_ISREG(st.st_mode);
    if (!regular) return CopyData(in, inOffset, out, outOffset, length, true, errors);
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
                                dataEnd - dataStart, true, errors);
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
