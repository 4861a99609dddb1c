#include "base/platform/gui/help_page.h"
#include "base/platform/gui/help_page_module.h"

#include "base/platform/install_layout.h"
#include "base/platform/paths.h"

#include <dlfcn.h>

namespace platform {

namespace {

// The module's entry, loaded once and kept for the life of the process: the
// pages it made hold its code.
NewHelpPageFunction Entry(std::string& why) {
    static NewHelpPageFunction entry = nullptr;
    static std::string failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        // Beside the program, in the kit's library folder once installed,
        // else by the program's run path (the build tree's programs).
        const std::string own = ExecutableDirectory();
        std::string path = own + "/" + kHelpPageModule;
        if (own.empty() || !PathExists(path)) path = LibraryDirectoryFor(own) + "/" + kHelpPageModule;
        if (own.empty() || !PathExists(path)) path = kHelpPageModule;
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            entry = reinterpret_cast<NewHelpPageFunction>(dlsym(module, kNewHelpPageSymbol));
            if (!entry) failure = path + ": " + kNewHelpPageSymbol + " is missing";
        } else {
            const char* error = dlerror();
            failure = error ? error : path;
        }
    }
    why = failure;
    return entry;
}

} // namespace

std::unique_ptr<HelpPage> NewHelpPage(wxWindow* parent, HelpPageEvents events, std::string& why) {
    const NewHelpPageFunction entry = Entry(why);
    if (!entry) return nullptr;
    std::unique_ptr<HelpPage> page(entry(parent, &events));
    if (!page) why = "the web engine is not available";
    return page;
}

} // namespace platform
