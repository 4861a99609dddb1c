#include "tools/kdplayer/pc_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kdplayer {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

int PcOutput::Create(const std::string& target) {
    // A named temporary: the library opens the file by its name.
    if (const int error = file_.Create(target, false)) return error;
    if (file_.Direct()) {
        path_ = target;
        return 0;
    }
    path_ = file_.TempPath();
    // The temporary carries the mode and owner of the file it replaces;
    // the name is freed for the library, the lock stays with our descriptor.
    struct stat st {};
    if (fstat(file_.Fd(), &st) != 0) return errno;
    mode_ = st.st_mode & 07777;
    uid_ = st.st_uid;
    gid_ = st.st_gid;
    unlink(path_.c_str());
    return 0;
}

int PcOutput::Commit() {
    if (!file_.Direct()) {
        struct stat st {};
        if (stat(path_.c_str(), &st) != 0) return errno;
        if ((st.st_uid != uid_ || st.st_gid != gid_) && chown(path_.c_str(), uid_, gid_) != 0) {
            // As far as this user may: the file stays this user's.
        }
        if (chmod(path_.c_str(), mode_) != 0) return errno;
    }
    return file_.Commit();
}

} // namespace kdplayer
