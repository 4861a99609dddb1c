#pragma once
// Windows only: the C library's descriptors over Win32 handles, shared by
// the files opened by path and those opened beneath a folder.
#include <windows.h>

namespace platform {

// The handle under descriptor fd (INVALID_HANDLE_VALUE for none).
HANDLE HandleOf(int fd);
// A binary descriptor over h that no child process inherits; on failure h
// is closed and -1 returned with errno set.
int DescriptorOf(HANDLE h, int flags);

} // namespace platform
