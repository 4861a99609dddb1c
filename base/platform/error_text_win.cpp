#include "base/platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string SystemErrorText(int code) {
    // The C library answers "Unknown error" for codes it does not know.
    if (code <= 0) return {};
    const char* text = std::strerror(code);
    return text && std::strncmp(text, "Unknown error", 13) != 0 ? text : "";
}

int LastSystemError() {
    return errno;
}

} // namespace platform
