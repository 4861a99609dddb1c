#include "base/platform/launcher.h"

#include <glib.h>

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

bool FindProgram(const std::string& program, std::string& found) {
    found.clear();
    if (program.empty()) return false;
    std::unique_ptr<gchar, decltype(&g_free)> path(g_find_program_in_path(program.c_str()),
                                                   &g_free);
    if (!path) return false;
    found = path.get();
    return true;
}

} // namespace platform
