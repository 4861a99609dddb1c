// Starting programs: files with the desktop's default application through
// GIO, programs with GLib's spawn. Both take the path as bytes, so names
// that are not UTF-8 reach the program unchanged.
#include "base/platform/gui/wx_services.h"
#include "base/platform/launcher.h"
#include "base/platform/paths.h"

#include <gio/gio.h>

#include <memory>

namespace platform {

namespace {

struct GFree {
    void operator()(gpointer p) const { g_free(p); }
};
struct GUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};

class WxLauncher : public Launcher {
public:
    bool OpenWithDefaultApplication(const std::string& path) override {
        if (!PathExists(path)) return false;
        const std::unique_ptr<GFile, GUnref> file(g_file_new_for_path(path.c_str()));
        const std::unique_ptr<char, GFree> uri(g_file_get_uri(file.get()));
        GError* error = nullptr;
        const bool started = g_app_info_launch_default_for_uri(uri.get(), nullptr, &error);
        if (error) g_error_free(error);
        return started;
    }

    bool RunProgram(const std::string& program, const std::string& argument) override {
        // Look the program up first, so that one that cannot be started is
        // reported here rather than after the fork.
        std::string found;
        if (!FindProgram(program, found)) return false;
        char* argv[] = {found.data(), const_cast<char*>(argument.c_str()), nullptr};
        GError* error = nullptr;
        const bool started = g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DEFAULT, nullptr,
                                           nullptr, nullptr, &error);
        if (error) g_error_free(error);
        return started;
    }
};

} // namespace

void InstallWxLauncher() {
    SetLauncher(std::make_unique<WxLauncher>());
}

} // namespace platform
