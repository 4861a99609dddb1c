#pragma once
// What qdx2wav and qka2wav share on the command line: banner, usage, the
// progress line and the messages on standard error.

#include "lib/voice/outcome.h"

namespace convert {

// Prints "<done> / <total> (<percent> %)\r" on standard output; the percent
// is 0 for a total of 0. Returns 0 (never stops a conversion).
int PrintProgress(long done, long total, void* user);

// Prints the two banner lines; `first` ends in a line feed.
void PrintBanner(const char* first);

// Prints "Usage :" and the usage line.
void PrintUsage(const char* line);

// Prints `format` with `path` on standard error, after flushing the
// progress line.
void PrintError(const char* format, const char* path);

// Reports a read or write failure of a conversion on standard error;
// `lead` is printed before the message ("" or "\n").
void ReportIoFailure(Outcome outcome, const char* inPath, const char* outPath, const char* lead);

// Stops a closed pipe on the output from ending the program, so that the
// failed write is reported like any other.
void IgnoreBrokenPipe();

// The whole of qdx2wav and qka2wav; return the exit status (1 on success).
int Qdx2WavMain(int argc, char** argv);
int Qka2WavMain(int argc, char** argv);

} // namespace convert
