#pragma once
// An exclusive advisory lock on a file, held between processes for the
// lifetime of the object.
#include <string>

namespace platform {

class FileLock {
public:
    // Opens (creating if needed) the lock file and waits for the lock.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Whether the lock is held (false when the file could not be opened).
    bool Locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace platform
