#pragma once
// Output files that appear whole or not at all, replacing a file as cp does.
#include <string>

struct stat;

namespace platform {

// Whether path, with its symbolic links followed, lies inside folder.
bool InsideFolder(const std::string& folder, const std::string& path);

// Whether the existing file at path (st: its stat) may not be replaced: it
// is not writable by this user, or nobody has write permission (so that it
// is kept from root too). errno is set to the reason (EACCES).
bool IsReadOnly(const std::string& path, const struct stat& st);

// Removes the hidden temporaries ".NAME.XXXXXX" beside target that writers
// killed before they ended left behind (those no writer holds locked).
void RemoveLeftoversOf(const std::string& target);

// Output to a file. A regular file (or a missing one) is written into a
// file of its folder that no name reaches (O_TMPFILE) and is linked over the
// target on Commit, so that it appears whole or not at all and a process
// killed meanwhile leaves nothing behind. Where the file system has no such
// files (or unnamed files are not wanted), a hidden temporary ".NAME.XXXXXX"
// is used instead, locked while it is written. Each output removes the
// unlocked hidden temporaries of killed writers to the same target. A
// symbolic link keeps pointing at the new file. A file that is replaced
// keeps its mode and owner, as with cp; a read-only one is refused
// (EACCES). A device, a FIFO or a link to one is written straight through.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Opens the output for target: 0, or the errno why it cannot be made.
    int Create(const std::string& target, bool unnamed = true);
    int Fd() const { return fd_; }
    // Whether the output is written straight into the target.
    bool Direct() const { return direct_; }
    // A path by which the output can be opened again for writing before
    // Commit (empty when Direct).
    const std::string& TempPath() const { return path_; }
    // Closes the file and, unless Direct, puts it in place of the target:
    // 0 or an errno. Without Commit the target stays as it was.
    int Commit();

private:
    int CreateNamed();
    int LinkUnnamed();
    void KeepModeOf(const struct stat& replaced);

    int fd_ = -1;
    bool direct_ = false;
    bool unnamed_ = false;
    std::string temp_; // a named temporary to remove when not committed
    std::string path_;
    std::string target_;
};

} // namespace platform
