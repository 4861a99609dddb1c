#include "views/desktop/desktop_rows.h"

#include "lib/lists/file_rows.h"
#include "base/platform/locale_format.h"

#include <memory>

namespace desktop {

namespace {

namespace tree_image {
inline constexpr int kShare = 0;
inline constexpr int kServer = 4;
inline constexpr int kRemovable = 5;
inline constexpr int kDrive = 6;
inline constexpr int kCdRom = 7;
} // namespace tree_image

std::string LastPart(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
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
        row.name = v.label.empty() ? v.root : v.label + " (" + v.root + ")";
        row.path = v.root;
        row.directory = true;
        row.image = v.kind == platform::VolumeKind::Removable ? tree_image::kRemovable
                    : v.kind == platform::VolumeKind::Optical ? tree_image::kCdRom
                                                              : tree_image::kDrive;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<DesktopRow> NetworkRows(const std::vector<platform::NetworkShare>& shares,
                                    const std::optional<NetResource>& under) {
    std::vector<DesktopRow> rows;
    auto add = [&](NetResource resource, int image) {
        DesktopRow row;
        row.kind = RowKind::Network;
        row.index = int(rows.size());
        row.name = LastPart(resource.remoteName);
        row.path = resource.localName;
        row.type = resource.comment;
        row.image = image;
        row.network = std::move(resource);
        rows.push_back(std::move(row));
    };
    if (!under || under->display == NetDisplay::Network || under->display == NetDisplay::Generic) {
        for (const std::string& server : platform::NetworkServers(shares)) {
            NetResource r;
            r.display = NetDisplay::Server;
            r.remoteName = "//" + server;
            add(std::move(r), tree_image::kServer);
        }
    } else if (under->display == NetDisplay::Server) {
        const std::string server = LastPart(under->remoteName);
        for (const platform::NetworkShare& s : platform::SharesOfServer(shares, server)) {
            NetResource r;
            r.display = NetDisplay::Share;
            r.remoteName = "//" + server + "/" + s.share;
            r.localName = s.mountPoint;
            r.comment = s.fsType + " " + s.source;
            r.provider = s.fsType;
            add(std::move(r), tree_image::kShare);
        }
    }
    return rows;
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
