#pragma once
// Files written from memory into a folder that no one else sees yet (a
// backup being made, which takes its name only once whole): each file is
// created straight under its name, and nothing is flushed per file; Sync()
// makes all of them lasting at once.
#include <cstddef>
#include <string>

namespace kdplayer {

class WholeFiles {
public:
    WholeFiles() = default;
    ~WholeFiles();
    WholeFiles(const WholeFiles&) = delete;
    WholeFiles& operator=(const WholeFiles&) = delete;

    // Opens the folder: 0 or an errno.
    int Open(const std::string& folder);
    // Writes size bytes at data as the new file name of the folder: 0 or an
    // errno (EEXIST when the name is taken; a link there is never followed).
    int Write(const std::string& name, const void* data, size_t size);
    // Flushes what was written, and the folder's names, to the disk: 0 or an
    // errno.
    int Sync();
    // Lets the folder go (Windows renames no folder that has something in it open).
    void Close();

private:
    int dir_ = -1;
};

} // namespace kdplayer
