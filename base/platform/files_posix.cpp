#include "base/platform/files.h"

#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool Same(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

FileKind KindOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return FileKind::Missing;
    if (S_ISREG(st.st_mode)) return FileKind::Regular;
    if (S_ISDIR(st.st_mode)) return FileKind::Folder;
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode)) return FileKind::Stream;
    return FileKind::Other;
}

bool CanRead(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

bool SameFile(int fdA, int fdB) {
    struct stat a {}, b{};
    return fstat(fdA, &a) == 0 && fstat(fdB, &b) == 0 && Same(a, b);
}

bool SameFile(int fd, const std::string& path) {
    struct stat a {}, b{};
    return fstat(fd, &a) == 0 && stat(path.c_str(), &b) == 0 && Same(a, b);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && Same(sa, sb);
}

bool WriteAt(int fd, const void* data, std::size_t n, std::uint64_t offset) {
    return pwrite(fd, data, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
}

void UseStreamFromOneThread(std::FILE* stream) {
    __fsetlocking(stream, FSETLOCKING_BYCALLER);
}

} // namespace platform
