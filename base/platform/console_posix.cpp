#include "base/platform/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

void StartConsoleProgram(int&, char**&) {}

void UseForData(std::FILE*) {}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

int TerminalColumns(std::FILE* stream) {
    winsize size{};
    return ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

} // namespace platform
