#include "base/platform/descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

int OpenDescriptor(const std::string& path, OpenFor mode, int permissions) {
    switch (mode) {
    case OpenFor::Read:
        return open(path.c_str(), O_RDONLY | O_CLOEXEC);
    case OpenFor::ReadNoWait: {
        // Non-blocking only for the open itself: reads wait as usual.
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    case OpenFor::Write:
        return open(path.c_str(), O_WRONLY | O_CLOEXEC);
    case OpenFor::ReadWrite:
        return open(path.c_str(), O_RDWR | O_CLOEXEC);
    case OpenFor::ReadWriteCreate:
        return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, permissions);
    }
    errno = EINVAL;
    return -1;
}

int CloseDescriptor(int fd) {
    return close(fd);
}

long long ReadSome(int fd, void* data, std::size_t n) {
    return read(fd, data, n);
}

long long WriteSome(int fd, const void* data, std::size_t n) {
    return write(fd, data, n);
}

long long ReadSomeAt(int fd, void* data, std::size_t n, std::uint64_t offset) {
    return pread(fd, data, n, static_cast<off_t>(offset));
}

long long WriteSomeAt(int fd, const void* data, std::size_t n, std::uint64_t offset) {
    return pwrite(fd, data, n, static_cast<off_t>(offset));
}

namespace {

bool FromStat(const struct stat& st, DescriptorInfo& info) {
    info.kind = S_ISREG(st.st_mode)   ? FileKind::Regular
                : S_ISDIR(st.st_mode) ? FileKind::Folder
                : S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode)
                    ? FileKind::Stream
                    : FileKind::Other;
    info.pipe = S_ISFIFO(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.identity = (static_cast<std::uint64_t>(st.st_dev) << 40) ^ static_cast<std::uint64_t>(st.st_ino);
    info.removed = st.st_nlink == 0;
    return true;
}

} // namespace

bool Describe(int fd, DescriptorInfo& info) {
    struct stat st {};
    return fstat(fd, &st) == 0 && FromStat(st, info);
}

bool DescribePath(const std::string& path, DescriptorInfo& info) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && FromStat(st, info);
}

bool Seekable(int fd) {
    return lseek(fd, 0, SEEK_CUR) >= 0;
}

bool SetLength(int fd, std::uint64_t length) {
    return ftruncate(fd, static_cast<off_t>(length)) == 0;
}

bool SyncData(int fd) {
    return fdatasync(fd) == 0;
}

void StartWriting(int fd, std::uint64_t offset, std::uint64_t length) {
    sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                    SYNC_FILE_RANGE_WRITE);
}

bool LockDescriptor(int fd, bool exclusive, bool wait) {
    return flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | (wait ? 0 : LOCK_NB)) == 0;
}

void UnlockDescriptor(int fd) {
    flock(fd, LOCK_UN);
}

bool PunchHole(int fd, std::uint64_t offset, std::uint64_t length) {
    return fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                     static_cast<off_t>(length)) == 0;
}

long long CopyInSystem(int in, std::uint64_t& inOffset, int out, std::uint64_t& outOffset,
                       std::uint64_t length) {
    loff_t inPos = static_cast<loff_t>(inOffset), outPos = static_cast<loff_t>(outOffset);
    const ssize_t n = copy_file_range(in, &inPos, out, &outPos, length, 0);
    if (n > 0) {
        inOffset += static_cast<std::uint64_t>(n);
        outOffset += static_cast<std::uint64_t>(n);
    }
    return n;
}

long long SpliceToPipe(int in, std::uint64_t& inOffset, int pipe, std::uint64_t length) {
    loff_t inPos = static_cast<loff_t>(inOffset);
    const ssize_t n = splice(in, &inPos, pipe, nullptr, static_cast<std::size_t>(length), 0);
    if (n > 0) inOffset += static_cast<std::uint64_t>(n);
    return n;
}

std::uint64_t NextData(int fd, std::uint64_t offset, std::uint64_t end) {
    const off_t data = lseek(fd, static_cast<off_t>(offset), SEEK_DATA);
    if (data < 0) return errno == ENXIO ? end : offset;
    return static_cast<std::uint64_t>(data) < end ? static_cast<std::uint64_t>(data) : end;
}

std::uint64_t NextHole(int fd, std::uint64_t offset, std::uint64_t end) {
    const off_t hole = lseek(fd, static_cast<off_t>(offset), SEEK_HOLE);
    if (hole < 0) return end;
    return static_cast<std::uint64_t>(hole) < end ? static_cast<std::uint64_t>(hole) : end;
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}

int OpenScratchFile(const std::string& folder, bool unnamed, std::string& path) {
    int fd = unnamed ? open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600) : -1;
    if (fd < 0) {
        // Without unnamed files: a named one, unlinked as soon as it is open.
        std::string pattern = folder + (folder.back() == '/' ? "" : "/") + "kd5200-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd = mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        unlink(name.data());
    }
    path = "/proc/self/fd/" + std::to_string(fd);
    return fd;
}

bool IsNoSpace(int error) {
    return error == ENOSPC || error == EDQUOT;
}

} // namespace platform
