#pragma once
// The standard streams and arguments of a console program, as the
// platform's console programs have them.

#include <cstdio>

namespace platform {

// Call first in main. On Windows the arguments become UTF-8 (from the
// wide-character command line, so that any file name arrives whole), and
// text for a console goes out through the console's wide-character calls,
// while text into a pipe or file stays UTF-8. Elsewhere nothing changes.
void StartConsoleProgram(int& argc, char**& argv);

// Marks a stream that carries data rather than text: on Windows it is put
// in binary mode, so that "\n" is not written as "\r\n".
void UseForData(std::FILE* stream);

// Whether the stream is a terminal: a console on Windows (where the NUL
// device, which the C library takes for one, is none).
bool IsTerminal(std::FILE* stream);

// The width in columns of the terminal the stream shows in; 0 when unknown.
int TerminalColumns(std::FILE* stream);

} // namespace platform
