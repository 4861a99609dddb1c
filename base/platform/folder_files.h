#pragma once
// Files and folders by descriptor and by path (UTF-8; on Windows "\" and "/"
// both separate folders), for programs that must not be led astray by what a
// folder holds: files opened beneath a folder without following links,
// folders made, renamed, exchanged and locked, and their entries listed.
// Functions returning int give 0 or an errno, unless they say otherwise.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// What tells an open file from another, whether it changed, and its kind.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds of the system's clock
    bool regular = false;      // a file that holds data
    bool folder = false;
    bool operator==(const FileStamp&) const = default;
};

// Opens path for reading (bytes, not passed on to other programs); with
// nonBlocking a FIFO opens at once. The descriptor, or -1 with errno set.
int OpenForReading(const std::string& path, bool nonBlocking = false);
// The stamp of the file open on fd: false with errno set when it cannot be
// looked at.
bool StampOf(int fd, FileStamp& stamp);
// The same of the file at path (links followed), without opening it for
// reading; false with errno set when nothing is there.
bool StampAt(const std::string& path, FileStamp& stamp);

// Opens a folder so that files can be named beneath it: the descriptor, or
// -1 with errno set.
int OpenFolder(const std::string& path);
// Opens relative ("name" or "folder/name") read-only beneath the folder open
// as dir, following no link at any level, and checks that it is a regular
// file (never a FIFO or a device, which is not read). The descriptor (stamp
// filled), or -1 with errno set: ELOOP for a link or a step out of the
// folder, ENOENT, ENOTDIR, ENODEV for anything but a regular file, EINVAL for
// an empty, "." or ".." component.
int OpenRegularBeneath(int dir, const std::string& relative, FileStamp& stamp);
// The entries of the folder name directly beneath dir (a link there is not
// followed: ELOOP or ENOTDIR), "." and ".." left out.
int ListBeneath(int dir, const std::string& name, std::vector<std::string>& names);
// Creates the new file name beneath dir, open for writing: the descriptor,
// or -1 with errno set (EEXIST when the name is taken; a link there is
// never followed).
int CreateBeneath(int dir, const std::string& name);
// Makes what was written into the files beneath dir, and the folder's
// names, lasting at once.
int SyncBeneath(int dir);

// An entry of a folder and what it is.
struct FolderEntry {
    enum Kind { Regular, Folder, Fifo, Socket, Device, DanglingLink, Unreadable };
    std::string name;
    Kind kind = Unreadable;
    std::uint64_t size = 0;
    int error = 0; // why an Unreadable entry could not be looked at
};
// The entries of the folder at path (links followed), "." and ".." left out.
int ListFolder(const std::string& path, std::vector<FolderEntry>& entries);
// The names alone in the folder at path, "." and ".." left out: no entry is
// looked at, so a large folder costs one read of its names.
int ListNames(const std::string& path, std::vector<std::string>& names);

// Makes the folder (for this user only with own); EEXIST when something is there.
int MakeFolder(const std::string& path, bool own = false);
// Whether the existing file at path may not be replaced (IsReadOnly of
// atomic_file.h, looked up by path).
bool IsReadOnlyFile(const std::string& path);
// Whether path is itself a link (a symbolic link, or on Windows any
// reparse point such as a junction).
bool IsLink(const std::string& path);
// Whether anything is at path, a dangling link too.
bool Exists(const std::string& path);
// Gives from the name to; a folder takes the place of an empty folder
// (ENOTEMPTY or EEXIST when to holds files).
int Rename(const std::string& from, const std::string& to);
// Exchanges the two names at once; ENOSYS or EINVAL where the system or the
// file system cannot.
int Exchange(const std::string& a, const std::string& b);
// Makes the names of the folder at path (after a rename) lasting.
int SyncFolder(const std::string& path);
// Another name, link, for the existing file target (absolute), by which a
// program can open it; removed with RemoveName.
int AddName(const std::string& target, const std::string& link);
int RemoveName(const std::string& path);
int RemoveEmptyFolder(const std::string& path);

// The standard library's path for UTF-8 text, and its text as UTF-8, the
// same on every system (a narrow path on Windows would be read in the ANSI
// code page).
inline std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The identifier of this process.
long ProcessId();
// Whether the process pid runs on this computer (one that ended but was not
// yet collected by its parent does not).
bool ProcessRuns(long pid);

// A lock on a folder, kept from other processes until this object goes.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    // Locks the folder at path (never through a link), when it is this
    // user's and nobody holds it: 0, EWOULDBLOCK when another holds it, or
    // another errno.
    int Lock(const std::string& path);
    // Renames the locked folder to `to` (as Rename), keeping it from other
    // processes for as long as the system allows.
    int RenameTo(const std::string& to);
    // Lets the folder go (before it is removed: Windows removes no folder
    // that is held open).
    void Unlock();

private:
    std::string path_;
    std::intptr_t handle_ = -1;
};

// The upper case of a character by Unicode's tables, whatever the locale.
char32_t UnicodeUpper(char32_t point);

} // namespace platform
