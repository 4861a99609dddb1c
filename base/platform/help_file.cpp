#include "base/platform/help_file.h"
#include "base/resources/strings.h"

#include "base/platform/install_layout.h"
#include "base/platform/launcher.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"

namespace platform {

namespace {

// The first folder that holds `relative`, joined with it; "" when none does.
std::string FindIn(const std::vector<std::string>& folders, const char* relative) {
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + relative;
        if (PathExists(path)) return path;
    }
    return "";
}

bool ShowInViewer(const std::string& file) {
    for (const char* viewer : kHelpViewers) {
        std::string program;
        if (FindProgram(viewer, program) && CurrentLauncher().RunProgram(program, file))
            return true;
    }
    return false;
}

} // namespace

bool OpenHelpFileFrom(void* owner, const std::vector<std::string>& folders) {
    const std::string compiled = FindIn(folders, kHelpFilePath);
    const std::string pages = FindIn(folders, kHelpPagesPath);
    if (compiled.empty() && pages.empty()) {
        std::string tried;
        for (const std::string& folder : folders)
            if (!folder.empty()) tried += "\n" + folder + "/" + kHelpFilePath;
        if (tried.empty()) tried = std::string("\n") + kHelpFilePath;
        MessageBox(owner, strings::Tr("The help file cannot be found:") + tried, "", kMbOk | kMbIconWarning);
        return false;
    }
    if (!compiled.empty() && ShowInViewer(compiled)) return true;
    if (!pages.empty() && CurrentLauncher().OpenWithDefaultApplication(pages)) return true;
    if (!compiled.empty() && CurrentLauncher().OpenWithDefaultApplication(compiled)) return true;
    MessageBox(owner,
               strings::Tr("No program to show the help file is installed:\n") +
                   (pages.empty() ? compiled : pages) +
                   "\n\nInstall a help viewer such as xchm, or a web browser.",
               "", kMbOk | kMbIconWarning);
    return false;
}

bool OpenHelpFile(void* owner) {
    return OpenHelpFileFrom(owner, {CurrentDirectory(), DataDirectory()});
}

} // namespace platform
