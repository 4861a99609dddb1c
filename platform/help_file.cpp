#include "platform/help_file.h"

#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/paths.h"

namespace platform {

bool OpenHelpFile(void* owner) {
    const std::string folder = CurrentDirectory();
    const std::string path = folder.empty() ? kHelpFilePath : folder + "/" + kHelpFilePath;
    if (!PathExists(path)) {
        MessageBox(owner, "The help file cannot be found:\n" + path, "", kMbOk | kMbIconWarning);
        return false;
    }
    if (!CurrentLauncher().OpenWithDefaultApplication(path)) {
        MessageBox(owner, "No program to show the help file is installed:\n" + path, "",
                   kMbOk | kMbIconWarning);
        return false;
    }
    return true;
}

} // namespace platform
