// Windows: a file the library writes is its own, beside the target, by a
// name that no file has yet (Windows frees no name while a handle holds it),
// and is moved over the target on Commit.
#include "tools/kdplayer/pc_output.h"

#include "base/platform/files.h"
#include "base/platform/folder_files.h"
#include "base/platform/temp_names.h"

#include <cerrno>

namespace kdplayer {

bool IsFolder(const std::string& path) {
    return platform::KindOf(path) == platform::FileKind::Folder;
}

bool Exists(const std::string& path) {
    return platform::Exists(path);
}

PcOutput::~PcOutput() {
    if (!target_.empty()) platform::RemoveName(path_);
}

int PcOutput::Create(const std::string& target) {
    // The output's checks (a folder, a read-only file) and its place for a
    // device or a pipe, which is written in place.
    if (const int error = file_.Create(target, false)) return error;
    if (file_.Direct()) {
        path_ = target;
        return 0;
    }
    // A hidden name as the output's own, so that a run killed meanwhile
    // leaves a file the next writer to the target removes.
    const std::size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.size() + 9 > 255) name = "kd5200"; // a hidden name must fit as well
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = folder + "." + name + "." + platform::RandomSuffix();
        if (!platform::Exists(path_)) {
            target_ = target;
            return 0;
        }
    }
    return EEXIST;
}

int PcOutput::Commit() {
    if (target_.empty()) return file_.Commit();
    // No mode or owner to carry over, as there is elsewhere.
    if (const int error = platform::Rename(path_, target_)) return error;
    target_.clear();
    return 0;
}

} // namespace kdplayer
