#include "tools/kdplayer/new_backup.h"

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
    fs::remove_all(platform::FsPath(path), error);
    return error.value();
}

} // namespace

NewBackup::~NewBackup() {
    if (!committed_ && !path_.empty()) {
        lock_.Unlock();
        RemoveTree(path_);
    }
}

int NewBackup::Create(const std::string& target) {
    fs::path where = fs::absolute(platform::FsPath(target)).lexically_normal();
    if (where.filename().empty()) where = where.parent_path();
    // A link to a folder: the backup goes where it points, the link stays.
    if (platform::IsLink(platform::PathText(where))) {
        std::error_code error;
        where = fs::canonical(where, error);
        if (error) return error.value();
    }
    if (where == where.root_path()) return EINVAL;
    parent_ = platform::PathText(where.parent_path());
    name_ = platform::PathText(where.filename());
    RemoveStale();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = parent_ + "/" + HiddenPrefix(name_) + RandomSuffix();
        if (const int error = platform::MakeFolder(path)) {
            if (error == EEXIST) continue;
            return error;
        }
        path_ = path;
        return lock_.Lock(path);
    }
    return EEXIST;
}

// Hidden folders of this target that no running backup holds locked were
// left by a run that was killed: an unfinished backup, or an old one that
// was not yet removed.
void NewBackup::RemoveStale() const {
    std::vector<platform::FolderEntry> entries;
    if (platform::ListFolder(parent_, entries) != 0) return;
    const std::string prefix = HiddenPrefix(name_);
    std::vector<std::string> stale;
    for (const platform::FolderEntry& entry : entries) {
        const std::string& name = entry.name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = parent_ + "/" + name;
        // Only this user's, as the kit's other writers remove theirs.
        if (platform::FolderLock().Lock(path) == 0) stale.push_back(path);
    }
    for (const std::string& path : stale)
        RemoveTree(path);
}

int NewBackup::Commit(bool replace, std::string& leftOver) {
    const std::string target = parent_ + "/" + name_;
    // An empty folder (or none) is replaced by a plain rename.
    if (const int renamed = lock_.RenameTo(target)) {
        if ((renamed != ENOTEMPTY && renamed != EEXIST) || !replace) return renamed;
        // Both names stay taken at every moment: the old backup takes the
        // hidden name, and is removed only once the new one has its name.
        if (const int exchanged = platform::Exchange(path_, target)) {
            if (exchanged != EINVAL && exchanged != ENOSYS) return exchanged;
            // A file system (or a system: Windows) without the exchange: the
            // old backup is put aside first, so there is a moment without
            // either, and put back when the new one cannot take its name.
            const std::string aside = parent_ + "/" + HiddenPrefix(name_) + RandomSuffix();
            if (const int error = platform::Rename(target, aside)) return error;
            if (const int error = lock_.RenameTo(target)) {
                platform::Rename(aside, target);
                return error;
            }
            path_ = aside;
        }
        committed_ = true;
        if (const int error = platform::SyncFolder(parent_)) return error;
        if (RemoveTree(path_) != 0) leftOver = path_;
        return 0;
    }
    committed_ = true;
    return platform::SyncFolder(parent_);
}

} // namespace kdplayer
