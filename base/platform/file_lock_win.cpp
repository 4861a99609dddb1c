#include "base/platform/file_lock.h"

#include "base/platform/wide_text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {

FileLock::FileLock(const std::string& path) {
    const HANDLE h = CreateFileW(WideText(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    // The whole file, as flock locks it: waits until no other holder is left.
    OVERLAPPED at{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &at)) {
        CloseHandle(h);
        return;
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY | _O_NOINHERIT);
    if (fd_ < 0) CloseHandle(h);
}

FileLock::~FileLock() {
    // Closing the handle lets the lock go.
    if (fd_ >= 0) _close(fd_);
}

} // namespace platform
