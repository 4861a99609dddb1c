// Starting programs through the shell: a file with the program associated
// with its kind, a program with one argument.
#include "base/platform/gui/wx_services.h"
#include "base/platform/launcher.h"
#include "base/platform/paths.h"
#include "base/platform/wide_text.h"

#include <wx/msw/wrapwin.h>
#include <shellapi.h>

#include <memory>

namespace platform {

namespace {

// One argument as the C runtime splits a command line: in quotes, with each
// run of backslashes before a quote (or the closing quote) doubled.
std::wstring QuotedArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// ShellExecute answers a number above 32 when it started something.
bool Started(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

class WxLauncher : public Launcher {
public:
    bool OpenWithDefaultApplication(const std::string& path) override {
        if (!PathExists(path)) return false;
        return Started(ShellExecuteW(nullptr, L"open", WideText(path).c_str(), nullptr, nullptr,
                                     SW_SHOWNORMAL));
    }

    bool RunProgram(const std::string& program, const std::string& argument) override {
        // Look the program up first, so that one that cannot be started is
        // reported as such.
        std::string found;
        if (!FindProgram(program, found)) return false;
        return Started(ShellExecuteW(nullptr, L"open", WideText(found).c_str(),
                                     QuotedArgument(WideText(argument)).c_str(), nullptr,
                                     SW_SHOWNORMAL));
    }
};

} // namespace

void InstallWxLauncher() {
    SetLauncher(std::make_unique<WxLauncher>());
}

} // namespace platform
