#pragma once
// Windows only: the C library's error number for a Win32 error code, so that
// the kit's messages and checks read the same on both systems.

namespace platform {

// GetLastError()'s code as an errno value; EIO for codes without one.
int ErrnoFromWindowsError(unsigned long error);

} // namespace platform
