#pragma once
// Where a backup is written until it is whole: a hidden folder beside the
// target, locked while it is written. Commit() gives it the target's name,
// exchanging it with the backup there before, which is then removed; until
// then the old backup stays as it was. Dropped without Commit() the folder is
// removed; one that a killed run left behind is removed by the next backup
// of the same target.
#include "base/platform/folder_files.h"

#include <string>

namespace kdplayer {

class NewBackup {
public:
    NewBackup() = default;
    ~NewBackup();
    NewBackup(const NewBackup&) = delete;
    NewBackup& operator=(const NewBackup&) = delete;

    // Makes the folder beside target (a path, "dir/" and links to folders
    // allowed): 0 or an errno.
    int Create(const std::string& target);
    // The folder being written.
    const std::string& Path() const { return path_; }
    // Gives the folder the target's name, in place of an empty folder or,
    // with replace, of anything there, and makes the rename lasting: 0 or an
    // errno. leftOver is set to where an old backup stays when it could not
    // be removed.
    int Commit(bool replace, std::string& leftOver);

private:
    void RemoveStale() const;

    std::string parent_; // the target's folder
    std::string name_;   // the target's name in it
    std::string path_;   // the hidden folder, parent_ + "/" + its name
    platform::FolderLock lock_;
    bool committed_ = false;
};

} // namespace kdplayer
