#include "base/platform/launcher.h"

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

class NoLauncher : public Launcher {
public:
    bool OpenWithDefaultApplication(const std::string&) override { return false; }
    bool RunProgram(const std::string&, const std::string&) override { return false; }
};

std::unique_ptr<Launcher>& Installed() {
    static std::unique_ptr<Launcher> launcher = std::make_unique<NoLauncher>();
    return launcher;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111) &&
           access(path.c_str(), X_OK) == 0;
}

} // namespace

Launcher& CurrentLauncher() {
    return *Installed();
}

std::unique_ptr<Launcher> SetLauncher(std::unique_ptr<Launcher> launcher) {
    std::unique_ptr<Launcher> old = std::move(Installed());
    Installed() = launcher ? std::move(launcher) : std::make_unique<NoLauncher>();
    return old;
}

bool FindProgram(const std::string& program, std::string& found) {
    found.clear();
    if (program.empty()) return false;
    if (program.find('/') != std::string::npos) {
        if (!IsExecutableFile(program)) return false;
        found = program;
        return true;
    }
    const char* path = std::getenv("PATH");
    std::istringstream folders(path && *path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (IsExecutableFile(candidate)) {
            found = candidate;
            return true;
        }
    }
    return false;
}

} // namespace platform
