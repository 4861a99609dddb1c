#include "base/platform/output_file.h"
#include "base/platform/atomic_file.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::FILE* OpenOutputUnlessInput(const char* path, std::FILE* input, const char* inputPath,
                                 bool& isInput) {
    isInput = false;
    // Opened without O_TRUNC: the file is looked at before it is cut.
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat out {};
    struct stat in {};
    const bool known = ::fstat(fd, &out) == 0;
    const bool haveIn =
        input ? ::fstat(fileno(input), &in) == 0 : inputPath && ::stat(inputPath, &in) == 0;
    if (known && haveIn && in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
        ::close(fd);
        isInput = true;
        return nullptr;
    }
    // Devices and pipes have nothing to cut, as with O_TRUNC; nor has a new
    // file, and cutting one would make some file systems write it out at
    // close, as they do for a file replaced in place.
    if ((!known || (S_ISREG(out.st_mode) && out.st_size > 0)) && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) ::close(fd);
    return file;
}

bool CanOpenOutput(const char* path) {
    struct stat st {};
    if (::stat(path, &st) == 0) return !S_ISDIR(st.st_mode) && !IsReadOnly(path, st);
    if (errno != ENOENT) return false;
    const std::string name(path);
    const std::size_t slash = name.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : name.substr(0, slash);
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace platform
