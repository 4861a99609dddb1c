// Starting programs with wxLaunchDefaultApplication and wxExecute.
#include "platform/gui/wx_services.h"
#include "platform/launcher.h"
#include "platform/paths.h"

#include <wx/utils.h>

namespace platform {

namespace {

class WxLauncher : public Launcher {
public:
    bool OpenWithDefaultApplication(const std::string& path) override {
        if (!PathExists(path)) return false;
        return wxLaunchDefaultApplication(wxString::FromUTF8(path));
    }

    bool RunProgram(const std::string& program, const std::string& argument) override {
        // wxExecute reports a program that cannot be started only after the
        // fork, so look it up first.
        std::string found;
        if (!FindProgram(program, found)) return false;
        const char* argv[] = {found.c_str(), argument.c_str(), nullptr};
        return wxExecute(argv, wxEXEC_ASYNC) > 0;
    }
};

} // namespace

void InstallWxLauncher() {
    SetLauncher(std::make_unique<WxLauncher>());
}

} // namespace platform
