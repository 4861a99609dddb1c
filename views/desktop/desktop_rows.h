#pragma once
// The rows of the desktop view, without windows: a folder's sub-folders and
// matching files, the mounted volumes, or the network's servers and shares;
// their order under each column and their Size and Date texts.
#include "base/platform/network_shares.h"
#include "base/platform/volumes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace desktop {

// What a row stands for; the numbers order the kinds in a sort.
enum class RowKind : int { Network = 1, Drive = 2, File = 3 };

// Columns of the view.
enum Column : int { kName = 0, kSize = 1, kType = 2, kDate = 3 };

struct DesktopRow {
    RowKind kind = RowKind::File;
    int index = 0;    // row index at listing time, drive number or enumeration index
    std::string name; // the name shown (bytes)
    std::string path; // full path of a file or folder, a volume's root, a share's mount point
    bool directory = false;
    bool examined = true;   // false: listed by name only (stat failed), no size or date
    std::uint64_t size = 0; // bytes
    std::int64_t mtime = 0; // last write, seconds since 1970 UTC
    std::string type;       // type name of a file or folder, comment of a network place
    int image = -1;         // index in the view's image list
    std::optional<platform::NetworkPlace> network;
};

// Whether a file name matches a filter such as "*.mp3" (letter case ignored);
// "*.*" and "*" match every name.
bool MatchesFilter(const std::string& name, const std::string& filter);
// folder + "/" + name, without doubling a trailing "/".
std::string JoinPath(const std::string& folder, const std::string& name);

// Appends the folder's sub-folders, then its files that match the filter, in
// the order the file system returns them; names beginning with "." are left
// out, and an entry that cannot be examined is listed as a file by its name
// alone. Returns 0, or the errno value when the folder cannot be read.
int ListFolder(const std::string& folder, const std::string& filter, std::vector<DesktopRow>& rows);
// The volumes as drive rows (image 5 removable, 7 optical, 6 other).
std::vector<DesktopRow> DriveRows(const std::vector<platform::Volume>& volumes);
// Where a share's files are reached: its local name (mount point, connected
// drive), else its remote name ("//server/share").
std::string SharePath(const platform::NetworkPlace& place);
// The rows of network places, in the order given: named by the part of the
// remote name after its last separator ("Microsoft Windows Network" for a
// network without one, else its provider or comment), image 4 for a server,
// 0 for a share, 2 for anything else; the comment in the Type column.
std::vector<DesktopRow> NetworkRows(const std::vector<platform::NetworkPlace>& places);
// The network's rows from mounted shares: its servers when under is none
// (image 4), the shares of a server (image 0).
std::vector<DesktopRow> NetworkRows(const std::vector<platform::NetworkShare>& shares,
                                    const std::optional<platform::NetworkPlace>& under);

// The Size column: kilobytes rounded up with "," between thousands and
// "KB" ("1,465KB"); empty for rows that are not files or folders.
std::string SizeText(const DesktopRow& row);
// The Date column: the local short date and time without seconds.
std::string DateText(const DesktopRow& row);

// Ascending comparison under a column: kinds first (network, drives, files),
// folders before files, sizes and times as numbers, texts by the locale.
// Sorting with SortRowsBy (desktop/file_rows.h) ends ties on the name; a
// descending sort reverses every rule, so folders come last.
int CompareRows(const DesktopRow& a, const DesktopRow& b, int column);

} // namespace desktop
