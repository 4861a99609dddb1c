#pragma once
// Files written into one folder from memory, each appearing under its name
// whole or not at all: it is written where no name reaches it and linked in
// once complete, so that a stop or a kill leaves nothing partial. Nothing is
// flushed per file; Sync() makes all of them lasting at once, before the
// record that names them (a backup's manifest) is written.
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
    // Writes size bytes at data as the file name of the folder, replacing
    // one of that name whole (keeping its mode): 0 or an errno.
    int Write(const std::string& name, const void* data, size_t size);
    // Flushes what was written to the disk: 0 or an errno.
    int Sync();
    // Flushes the folder's names only (a file that was put in place after
    // its data was flushed): 0 or an errno.
    int SyncNames();

private:
    int Place(int fd, const std::string& name, bool replace);

    int dir_ = -1;
};

} // namespace kdplayer
