#include "tools/kdplayer/new_backup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace kdplayer {

namespace {

// The hidden folders of a target: ".NAME.partial-" and six characters.
std::string HiddenPrefix(const std::string& name) {
    // Appended: GCC 12 warns (-Wrestrict) of "." + a temporary.
    std::string prefix = ".";
    prefix += std::string_view(name).substr(0, 200);
    prefix += ".partial-";
    return prefix;
}

std::string RandomSuffix() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device device;
    std::string suffix;
    for (int i = 0; i < 6; ++i)
        suffix += kChars[device() % (sizeof kChars - 1)];
    return suffix;
}

// Removes a folder and what it holds, following no link; 0 or an errno.
int RemoveTree(const std::string& path) {
    std::error_code error;
    fs::remove_all(path, error);
    return error.value();
}

int SyncFolder(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}

} // namespace

NewBackup::~NewBackup() {
    if (!committed_ && !path_.empty()) RemoveTree(path_);
    if (lock_ >= 0) close(lock_);
}

int NewBackup::Create(const std::string& target) {
    fs::path where = fs::absolute(target).lexically_normal();
    if (where.filename().empty()) where = where.parent_path();
    struct stat st {};
    // A link to a folder: the backup goes where it points, the link stays.
    if (lstat(where.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::error_code error;
        where = fs::canonical(where, error);
        if (error) return error.value();
    }
    if (where == where.root_path()) return EINVAL;
    parent_ = where.parent_path().string();
    name_ = where.filename().string();
    RemoveStale();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = parent_ + "/" + HiddenPrefix(name_) + RandomSuffix();
        if (mkdir(path.c_str(), 0777) != 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        path_ = path;
        lock_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (lock_ < 0 || flock(lock_, LOCK_EX | LOCK_NB) != 0) return errno;
        return 0;
    }
    return EEXIST;
}

// Hidden folders of this target that no running backup holds locked were
// left by a run that was killed: an unfinished backup, or an old one that
// was not yet removed.
void NewBackup::RemoveStale() const {
    DIR* folder = opendir(parent_.c_str());
    if (!folder) return;
    const std::string prefix = HiddenPrefix(name_);
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = parent_ + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        // Only this user's, as the kit's other writers remove theirs.
        struct stat st {};
        if (fstat(fd, &st) == 0 && st.st_uid == geteuid() && flock(fd, LOCK_EX | LOCK_NB) == 0)
            stale.push_back(path);
        close(fd);
    }
    closedir(folder);
    for (const std::string& path : stale)
        RemoveTree(path);
}

int NewBackup::Commit(bool replace, std::string& leftOver) {
    const std::string target = parent_ + "/" + name_;
    // An empty folder (or none) is replaced by a plain rename.
    if (rename(path_.c_str(), target.c_str()) != 0) {
        if ((errno != ENOTEMPTY && errno != EEXIST) || !replace) return errno;
        // Both names stay taken at every moment: the old backup takes the
        // hidden name, and is removed only once the new one has its name.
        if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
            if (errno != EINVAL && errno != ENOSYS) return errno;
            // A file system without the exchange: the old backup is put
            // aside first, so there is a moment without either.
            const std::string aside = parent_ + "/" + HiddenPrefix(name_) + RandomSuffix();
            if (rename(target.c_str(), aside.c_str()) != 0) return errno;
            if (rename(path_.c_str(), target.c_str()) != 0) {
                const int error = errno;
                rename(aside.c_str(), target.c_str());
                return error;
            }
            path_ = aside;
        }
        committed_ = true;
        if (const int error = SyncFolder(parent_)) return error;
        if (RemoveTree(path_) != 0) leftOver = path_;
        return 0;
    }
    committed_ = true;
    return SyncFolder(parent_);
}

} // namespace kdplayer
