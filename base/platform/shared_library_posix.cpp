#include "base/platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

std::string LibraryFileName(const std::string& posixName, const std::string&) {
    return posixName;
}

void* OpenLibrary(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        error = why ? why : path;
    }
    return library;
}

void* LibraryFunction(void* library, const char* name) {
    return dlsym(library, name);
}

void CloseLibrary(void* library) {
    dlclose(library);
}

} // namespace platform
