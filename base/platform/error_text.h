#pragma once
// Texts of system error codes (errno values).
#include <string>

namespace platform {

// The system's text for the code, or an empty text when the system has none.
std::string SystemErrorText(int code);
// The calling thread's last system error code (errno).
int LastSystemError();

} // namespace platform
