#pragma once
// Watching a folder for names made, removed or renamed in it (and, when
// asked, files in it written): inotify on Linux, a change notification on
// Windows.

#include <cstdint>
#include <string>

namespace platform {

class FolderWatch {
public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches folder (ending any earlier watch); false when it cannot, and
    // the watch is then inactive.
    bool Start(const std::string& folder, bool writes);
    void Stop();
    bool Active() const { return handle_ != kNone; }
    // Whether nothing has changed since the start or the last call; false
    // also when the watch broke (its folder removed).
    bool Quiet();
    // A non-blocking descriptor that becomes readable on a change, for a
    // caller's poll, or -1 where the system gives none (Windows).
    int Descriptor() const;

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone; // the inotify descriptor or the notification handle
};

} // namespace platform
