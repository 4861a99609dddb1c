// Listing a folder for the desktop view through the POSIX directory calls.
#include "views/desktop/desktop_rows.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace desktop {

bool MatchesFilter(const std::string& name, const std::string& filter) {
    if (filter.empty() || filter == "*" || filter == "*.*") return true;
    return ::fnmatch(filter.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

int ListFolder(const std::string& folder, const std::string& filter,
               std::vector<DesktopRow>& rows) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return errno;
    const int fd = ::dirfd(dir.get());
    std::vector<DesktopRow> files;
    int folders = 0;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            error = errno;
            break;
        }
        if (entry->d_name[0] == '.') continue;
        struct stat st {};
        DesktopRow row;
        // Links count as what they point to; a dangling link as itself; an
        // entry that cannot be examined is still there, by its name.
        row.examined = ::fstatat(fd, entry->d_name, &st, 0) == 0 ||
                       ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        row.name = entry->d_name;
        row.directory = S_ISDIR(st.st_mode);
        if (!row.directory && !MatchesFilter(row.name, filter)) continue;
        row.path = JoinPath(folder, row.name);
        row.size = row.directory ? 0 : std::uint64_t(st.st_size);
        row.mtime = st.st_mtim.tv_sec;
        if (row.directory) {
            row.index = folders++;
            rows.push_back(std::move(row));
        } else {
            row.index = int(files.size());
            files.push_back(std::move(row));
        }
    }
    rows.insert(rows.end(), std::make_move_iterator(files.begin()),
                std::make_move_iterator(files.end()));
    return error;
}

} // namespace desktop
