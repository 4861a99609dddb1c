#include "lib/kd5200usb/catalogue.h"

#include "base/platform/install_layout.h"

#include <dlfcn.h>
#include <libintl.h>

#include <filesystem>
#include <mutex>
#include <string>

// From the library's installed folder to the installed catalogues; the build
// passes the path of its install layout.
#ifndef KD5200_LOCALE_FROM_LIB
#define KD5200_LOCALE_FROM_LIB "../share/locale"
#endif

namespace kd5200 {

namespace {

constexpr const char* kDomain = "kd5200usb";

// The catalogues beside the library: in the build tree, the data folder's
// (the library sits with the programs); once installed, the system's.
void BindCatalogue() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&BindCatalogue), &info) && info.dli_fname) {
        const std::filesystem::path own = std::filesystem::path(info.dli_fname).parent_path();
        const std::string data = platform::DataDirectoryFor(own.native());
        const std::filesystem::path folder =
            !data.empty() ? std::filesystem::path(data) / "../locale"
                          : own / KD5200_LOCALE_FROM_LIB;
        std::error_code ec;
        if (std::filesystem::is_directory(folder, ec))
            bindtextdomain(kDomain, folder.lexically_normal().c_str());
    }
    bind_textdomain_codeset(kDomain, "UTF-8");
}

} // namespace

const char* Translated(const char* english) {
    static std::once_flag bound;
    std::call_once(bound, BindCatalogue);
    return dgettext(kDomain, english);
}

} // namespace kd5200
