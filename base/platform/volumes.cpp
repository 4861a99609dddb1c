#include "base/platform/volumes.h"
#include "base/resources/strings.h"

#include "base/platform/paths.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <memory>
#include <set>
#include <string_view>

namespace platform {

namespace {

// Folders the system keeps for itself; file systems mounted there are not
// the user's volumes.
constexpr std::array<std::string_view, 12> kSystemFolders = {"/boot", "/efi", "/proc", "/sys",
                                                             "/dev",  "/run", "/snap", "/var",
                                                             "/usr",  "/etc", "/tmp",  "/opt"};

bool IsUnder(const std::string& path, std::string_view folder) {
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool IsSystemMountPoint(const std::string& path) {
    if (IsUnder(path, "/run/media")) return false; // udisks mounts removable media here
    for (std::string_view folder : kSystemFolders)
        if (IsUnder(path, folder)) return true;
    return false;
}

bool IsOpticalFsType(const std::string& fsType) {
    return fsType == "iso9660" || fsType == "udf";
}

std::string LastName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// /dev/disk/by-label names escape blanks and other bytes as "\xHH".
std::string DecodeLabel(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            char* end = nullptr;
            const std::string hex = name.substr(i + 2, 2);
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (end && *end == '\0') {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

bool ReadFlag(const std::string& path) {
    std::string text;
    return ReadWholeFile(path, text) && !text.empty() && text[0] == '1';
}

} // namespace

bool IsNetworkFsType(const std::string& fsType, const std::string& source) {
    static const std::set<std::string> kNetwork = {
        "cifs",      "smb3",           "smbfs",       "nfs",      "nfs4",  "sshfs", "fuse.sshfs",
        "davfs",     "fuse.davfs",     "fuse.davfs2", "afs",      "ncpfs", "9p",    "ceph",
        "glusterfs", "fuse.glusterfs", "fuse.rclone", "fuse.s3fs"};
    if (kNetwork.count(fsType)) return true;
    // davfs2 may register as plain "fuse" with the URL as its source.
    return fsType == "fuse" &&
           (source.rfind("http://", 0) == 0 || source.rfind("https://", 0) == 0);
}

VolumeProbe SystemVolumeProbe() {
    VolumeProbe probe;
    probe.isRemovable = [](unsigned major, unsigned minor) {
        // The device's own folder, or for a partition its disk's folder,
        // carries the "removable" flag; disks on the USB bus count as
        // removable too, as file managers show them.
        const std::string dev =
            "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
        char resolved[PATH_MAX];
        if (realpath(dev.c_str(), resolved) &&
            std::string(resolved).find("/usb") != std::string::npos)
            return true;
        if (PathExists(dev + "/removable")) return ReadFlag(dev + "/removable");
        return ReadFlag(dev + "/../removable");
    };
    probe.labelOf = [](const std::string& device) -> std::string {
        char resolved[PATH_MAX];
        if (device.empty() || !realpath(device.c_str(), resolved)) return "";
        const std::string wanted = resolved;
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("/dev/disk/by-label"), closedir);
        if (!dir) return "";
        while (const dirent* e = readdir(dir.get())) {
            if (e->d_name[0] == '.') continue;
            const std::string link = std::string("/dev/disk/by-label/") + e->d_name;
            char target[PATH_MAX];
            if (realpath(link.c_str(), target) && wanted == target) return DecodeLabel(e->d_name);
        }
        return "";
    };
    return probe;
}

std::vector<Volume> VolumesFromMounts(const std::vector<MountEntry>& mounts,
                                      const VolumeProbe& probe) {
    std::vector<Volume> volumes;
    std::set<std::pair<unsigned, unsigned>> devicesSeen;
    for (const MountEntry& m : mounts) {
        const bool isRoot = m.mountPoint == "/";
        if (!isRoot) {
            if (m.source.rfind("/dev/", 0) != 0) continue; // not a real device
            if (m.source.rfind("/dev/loop", 0) == 0 && m.fsType == "squashfs") continue; // packages
            if (IsNetworkFsType(m.fsType, m.source)) continue;
            if (IsSystemMountPoint(m.mountPoint)) continue;
            // A second mount of part of a device already listed (bind mount).
            if (m.root != "/" && devicesSeen.count({m.major, m.minor})) continue;
        }
        devicesSeen.insert({m.major, m.minor});

        Volume v;
        v.root = m.mountPoint;
        v.device = m.source;
        v.fsType = m.fsType;
        if (IsOpticalFsType(m.fsType))
            v.kind = VolumeKind::Optical;
        else if (m.source.rfind("/dev/", 0) == 0 && probe.isRemovable &&
                 probe.isRemovable(m.major, m.minor))
            v.kind = VolumeKind::Removable;
        // The root is "File System" as in file managers; other volumes go by
        // their file system label, else by the mount point's name.
        if (isRoot)
            v.label = strings::Tr("File System");
        else if (probe.labelOf)
            v.label = probe.labelOf(m.source);
        if (v.label.empty()) v.label = LastName(m.mountPoint);
        v.name = v.label.empty() ? v.root : v.label + " (" + v.root + ")";
        // A later mount on the same point hides the earlier one.
        auto same = std::find_if(volumes.begin(), volumes.end(),
                                 [&](const Volume& old) { return old.root == v.root; });
        if (same != volumes.end())
            *same = std::move(v);
        else
            volumes.push_back(std::move(v));
    }
    return volumes;
}

std::vector<Volume> ListVolumes() {
    return VolumesFromMounts(ReadMountTable(), SystemVolumeProbe());
}

} // namespace platform
