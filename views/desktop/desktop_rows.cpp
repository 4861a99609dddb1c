#include "views/desktop/desktop_rows.h"

#include "lib/lists/file_rows.h"
#include "base/platform/locale_format.h"
#include "base/resources/strings.h"

#include <memory>

namespace desktop {

namespace {

namespace tree_image {
inline constexpr int kShare = 0;
inline constexpr int kNetwork = 2;
inline constexpr int kServer = 4;
inline constexpr int kRemovable = 5;
inline constexpr int kDrive = 6;
inline constexpr int kCdRom = 7;
} // namespace tree_image

// The part after the last separator: "/" or, in Windows names, "\\".
std::string LastPart(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// What a network row is called.
std::string NetworkLabel(const platform::NetworkPlace& r) {
    if (!r.remoteName.empty()) return LastPart(r.remoteName);
    if (r.display == platform::net_display::kNetwork) return strings::Tr(text::kWindowsNetwork);
    // As the explorer names a place without a name of its own.
    if (!r.provider.empty()) return r.provider;
    if (!r.comment.empty()) return r.comment;
    return r.localName;
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::vector<DesktopRow> DriveRows(const std::vector<platform::Volume>& volumes) {
    std::vector<DesktopRow> rows;
    for (size_t i = 0; i < volumes.size(); ++i) {
        const platform::Volume& v = volumes[i];
        DesktopRow row;
        row.kind = RowKind::Drive;
        row.index = int(i);
        row.name = v.name;
        row.path = v.root;
        row.directory = true;
        row.image = v.kind == platform::VolumeKind::Removable ? tree_image::kRemovable
                    : v.kind == platform::VolumeKind::Optical ? tree_image::kCdRom
                                                              : tree_image::kDrive;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string SharePath(const platform::NetworkPlace& r) {
    if (!r.localName.empty())
        // A drive letter alone names that drive's current folder.
        return r.localName.size() == 2 && r.localName[1] == ':' ? r.localName + "/" : r.localName;
    std::string path = r.remoteName;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::vector<DesktopRow> NetworkRows(const std::vector<platform::NetworkPlace>& places) {
    std::vector<DesktopRow> rows;
    for (const platform::NetworkPlace& place : places) {
        DesktopRow row;
        row.kind = RowKind::Network;
        row.index = int(rows.size());
        row.network = place;
        const platform::NetworkPlace& r = place;
        row.name = NetworkLabel(r);
        // Only a share holds files: servers, domains and networks take no uploads.
        if (r.display == platform::net_display::kShare) row.path = SharePath(r);
        row.type = r.comment;
        row.image = r.display == platform::net_display::kServer  ? tree_image::kServer
                    : r.display == platform::net_display::kShare ? tree_image::kShare
                                                                 : tree_image::kNetwork;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<DesktopRow> NetworkRows(const std::vector<platform::NetworkShare>& shares,
                                    const std::optional<platform::NetworkPlace>& under) {
    if (!under) return NetworkRows(platform::PlacesOfShares(shares, nullptr));
    return NetworkRows(platform::PlacesOfShares(shares, &*under));
}

std::string SizeText(const DesktopRow& row) {
    if (row.kind != RowKind::File || !row.examined) return "";
    // Rounded up without overflow, also for the largest sizes.
    const std::uint64_t kb = row.size / 1024 + (row.size % 1024 != 0);
    return platform::FormatGroupedNumber(kb) + "KB";
}

std::string DateText(const DesktopRow& row) {
    if (row.kind != RowKind::File || !row.examined) return "";
    return platform::FormatFileTime(row.mtime);
}

int CompareRows(const DesktopRow& a, const DesktopRow& b, int column) {
    if (a.kind != b.kind) return int(a.kind) - int(b.kind);
    if (a.kind == RowKind::File) {
        if (a.directory != b.directory) return a.directory ? -1 : 1;
        switch (column) {
        case kSize:
            return CompareValues(a.size, b.size);
        case kDate:
            return CompareValues(a.mtime, b.mtime);
        case kType:
            return CompareNames(a.type, b.type);
        default:
            return CompareNames(a.name, b.name);
        }
    }
    switch (column) {
    case kType:
        return CompareNames(a.type, b.type);
    case kName:
        return CompareNames(a.name, b.name);
    default:
        return 0; // empty columns
    }
}

} // namespace desktop
