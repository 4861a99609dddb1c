#pragma once
// The device layer's read of a player file without a file on the PC: the
// library writes into a pipe that has no name, whose bytes are taken into
// memory or compared as they come (see pipe_drain.h). Songdock's verified
// copies and kdplayer check their copies with it; nothing is left behind by
// a process killed meanwhile.
#include "lib/device/kd5200usb.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads entry number of the memory (size bytes, as listed; playerName as
// for KD5200_Upload) into into, which then holds what the library gave, cut
// one byte past size (a larger entry is told by its length). With check, the library's progress reports go out in the check
// phase. Returns 0, the library's code, or KD5200_ERR_FILE_WRITE (errno
// set) when no pipe could be made. Nothing is shown.
int DevReadEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                 const char* playerName, std::vector<unsigned char>& into, bool check);

// Reads entry number into the PC file open for writing on fd, from its
// current offset (a file without a name, so that a process killed meanwhile
// leaves nothing). Returns 0, the library's code, or KD5200_ERR_FILE_WRITE
// with writeError set to the errno when fd cannot be written (else 0). With
// shown, a failure of the library is shown, naming shown (the file being
// copied); else nothing is.
int DevReadEntryToFile(KD5200_HWND parent, int memory, int number, uint32_t size,
                       const char* playerName, int fd, int& writeError,
                       const std::string& shown = "");

// Reads the entry again, in the check phase, and compares it byte for byte
// with the length bytes at expected: same tells whether they are equal.
// Returns 0 when the read went through (same is then set), else as
// DevReadEntry.
int DevCompareEntryWith(KD5200_HWND parent, int memory, int number, uint32_t size,
                        const char* playerName, const void* expected, size_t length, bool& same);

// The same against the PC file open on fd (a regular file, read beside the
// pipe; any other file, or one that cannot be read, is not the same).
int DevCompareEntryWithFile(KD5200_HWND parent, int memory, int number, uint32_t size,
                            const char* playerName, int fd, bool& same);

// The same against the PC file at pcPath. Returns 0 when they are equal,
// KD5200_ERR_STORAGE when they differ, else as DevReadEntry.
int DevCompareEntry(KD5200_HWND parent, int memory, int number, uint32_t size,
                    const std::string& pcPath);
