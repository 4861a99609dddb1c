#include "base/platform/temp_file.h"

#include "base/platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// folder/prefixXXXXXX, writable, for the mk*temp functions.
std::vector<char> Pattern(const std::string& folder, const std::string& prefix) {
    std::string pattern = folder;
    if (pattern.empty() || pattern.back() != '/') pattern += '/';
    pattern += prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return name;
}

} // namespace

std::string CreateTempFileIn(const std::string& folder, const std::string& prefix) {
    std::vector<char> name = Pattern(folder, prefix);
    const int fd = mkstemp(name.data());
    if (fd < 0) return {};
    close(fd);
    return name.data();
}

std::string CreateTempFile(const std::string& prefix) {
    return CreateTempFileIn(TempDir(), prefix);
}

std::string NewFileName(const std::string& folder, const std::string& prefix) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device device;
    const std::string lead = folder + (!folder.empty() && folder.back() == '/' ? "" : "/") + prefix;
    for (;;) {
        std::string name = lead;
        for (int i = 0; i < 6; ++i)
            name += kChars[device() % (sizeof kChars - 1)];
        // Taken: another name. Any other answer is the writer's to report.
        struct stat st {};
        if (lstat(name.c_str(), &st) != 0) return name;
    }
}

int OpenUnnamedTempFile(const std::string& prefix) {
    const int fd = open(TempDir().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    std::vector<char> name = Pattern(TempDir(), prefix);
    const int named = mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) unlink(name.data());
    return named;
}

int OpenAndUnname(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) unlink(path.c_str());
    return fd;
}

} // namespace platform
