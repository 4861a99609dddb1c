#pragma once
// The kernel's table of mounted file systems (/proc/self/mountinfo), parsed
// into records. The parser takes text so that any table can be examined.
#include <string>
#include <vector>

namespace platform {

// One mounted file system.
struct MountEntry {
    unsigned major = 0; // device number of the file system
    unsigned minor = 0;
    std::string root;       // folder of the file system mounted here ("/" for all of it)
    std::string mountPoint; // where it is mounted
    std::string fsType;     // file system type, with its subtype ("fuse.sshfs")
    std::string source;     // device or remote location ("/dev/sda1", "//server/share")
};

// Parses mountinfo text; malformed lines are skipped. Octal escapes of
// blanks and other characters ("\040") are decoded.
std::vector<MountEntry> ParseMountInfo(const std::string& text);
// The calling process's mount table (empty when it cannot be read).
std::vector<MountEntry> ReadMountTable();

} // namespace platform
