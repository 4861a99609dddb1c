#include "base/platform/launcher.h"

#include <glib.h>

#include <memory>

namespace platform {

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
