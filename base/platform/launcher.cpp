#include "base/platform/launcher.h"

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

} // namespace

Launcher& CurrentLauncher() {
    return *Installed();
}

std::unique_ptr<Launcher> SetLauncher(std::unique_ptr<Launcher> launcher) {
    std::unique_ptr<Launcher> old = std::move(Installed());
    Installed() = launcher ? std::move(launcher) : std::make_unique<NoLauncher>();
    return old;
}

} // namespace platform
