#pragma once
// Result of a player operation and the one-line messages of the error codes.
#include <cstdint>
#include <string>

#include "lib/device/kd5200usb.h"

namespace kd5200 {

// Error code of the device library and the system error (errno) behind it.
struct Status {
    int32_t code = KD5200_ERR_NONE;
    int32_t systemError = 0;

    bool Ok() const { return code == KD5200_ERR_NONE; }
    explicit operator bool() const { return Ok(); }
};

inline Status Fail(int32_t code, int32_t systemError = 0) {
    return Status{code, systemError};
}

// The message of a code, without prefix ("Unknown error" for codes we do not give).
const char* ErrorMessage(int32_t code);
// The message of a code, followed by ": <system text>" when systemError is
// nonzero and its text adds something ("The file does not exist" says all
// that ENOENT would).
std::string ErrorText(int32_t code, int32_t systemError);
// "KD5200: " and the ErrorText ("Unknown error <code>" for codes we do not
// give); with a subject (the PC file concerned), "KD5200: <subject>: ...".
std::string ErrorLine(int32_t code, int32_t systemError, const std::string& subject = "");

} // namespace kd5200
