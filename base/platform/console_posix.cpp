#include "base/platform/console.h"

namespace platform {

void StartConsoleProgram(int&, char**&) {}

void UseForData(std::FILE*) {}

} // namespace platform
