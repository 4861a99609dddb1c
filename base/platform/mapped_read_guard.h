#pragma once
// Reading a file mapped into memory that another program may cut short.

namespace platform {

// While this object lives, a mapped file cut short under the reader ends
// the process with `message` on standard error and exit status 0 (as a
// failed conversion ends), instead of a crash. Where the system keeps a
// mapped file from being cut short (Windows), it does nothing.
class MappedReadGuard {
public:
    explicit MappedReadGuard(const char* message);
    ~MappedReadGuard();
    MappedReadGuard(const MappedReadGuard&) = delete;
    MappedReadGuard& operator=(const MappedReadGuard&) = delete;
};

} // namespace platform
