#pragma once
// Opening an output file that must not be the input being read.
#include <cstdio>

namespace platform {

// Opens path for binary writing like fopen's "wb" (created, or emptied),
// unless it is the input file by any name or link (the same device and
// inode as the file `input` is open on, or when `input` is null, as the
// file at inputPath). Then the file is left untouched, isInput is set and
// the result is null. Null with isInput unset: the open failed.
std::FILE* OpenOutputUnlessInput(const char* path, std::FILE* input, const char* inputPath,
                                 bool& isInput);

// Whether OpenOutputUnlessInput could open path for writing, found without
// creating, emptying or otherwise changing anything: an existing file that
// is not a folder must not be read-only (IsReadOnly), a new one needs a
// writable folder.
bool CanOpenOutput(const char* path);

} // namespace platform
