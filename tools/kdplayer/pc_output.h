#pragma once
// Where the device library writes a file for the PC: a hidden name beside
// the target, put in the target's place whole on Commit (keeping the mode
// of a file it replaces), so that a stop or a failure leaves the old file
// or none. The library gets a name that does not exist yet, as when it
// writes a new file: replacing an existing file would make the file system
// write the new data out at once.
#include "base/platform/atomic_file.h"

#include <sys/types.h>

#include <string>

namespace kdplayer {

// Whether path names a folder (links followed).
bool IsFolder(const std::string& path);
// Whether anything is at path (a dangling link too).
bool Exists(const std::string& path);

class PcOutput {
public:
    // 0, or the errno why target cannot be written (a read-only file, a folder).
    int Create(const std::string& target);
    // The path to give the library (the target itself for a device or FIFO).
    const std::string& Path() const { return path_; }
    // Puts the written file in place: 0 or an errno. Without it the target
    // stays as it was.
    int Commit();

private:
    platform::AtomicFile file_;
    std::string path_;
    mode_t mode_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

} // namespace kdplayer
