#include "base/platform/console_catalogue.h"

namespace platform {

// The Windows build carries no message catalogues: the console programs
// speak English there.
void UseKitCatalogue() {}

std::string InPersonsLanguage(const std::function<std::string()>& make) {
    return make();
}

} // namespace platform
