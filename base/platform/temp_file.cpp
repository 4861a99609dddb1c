#include "base/platform/temp_file.h"

#include "base/platform/paths.h"

#include <cstdlib>
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

std::string CreateTempFolder(const std::string& prefix) {
    std::vector<char> name = Pattern(TempDir(), prefix);
    return mkdtemp(name.data()) ? name.data() : std::string();
}

} // namespace platform
