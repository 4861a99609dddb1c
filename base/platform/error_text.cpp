#include "base/platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string SystemErrorText(int code) {
    // strerrordesc_np tells whether the code is known at all; strerror_r
    // gives the text in the user's language.
    if (code <= 0 || strerrordesc_np(code) == nullptr) return {};
    char buffer[256];
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? text : "";
}

int LastSystemError() {
    return errno;
}

} // namespace platform
