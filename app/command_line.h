#pragma once
// Songdock's own command line, read before the toolkit opens a display, so
// that --help and --version work on a console without one (GNU conventions).
#include <cstdio>

namespace app {

// Exit status of a command line that cannot be used.
constexpr int kUsageError = 2;

// Reads the arguments. Returns -1 when the window is to start (the toolkit's
// standard options are left to it); otherwise prints the help or version
// text to out, or the error to err, and returns the exit status.
int HandleCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

} // namespace app
