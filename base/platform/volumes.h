#pragma once
// Mounted volumes in place of drive letters: the root file system and the
// file systems on real devices, in mount-table order. A volume's "drive
// number" is its index in the list.
#include "base/platform/mount_table.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class VolumeKind { Fixed, Removable, Optical };

// One volume as the drive list shows it.
struct Volume {
    std::string label;  // the file system's label, else the mount point's last name
    std::string name;   // as the drive list shows it: "MUSIC (/media/MUSIC)", "Local Disk (C:)"
    std::string root;   // mount point
    std::string device; // source device ("/dev/sdb1")
    std::string fsType;
    VolumeKind kind = VolumeKind::Fixed;
};

// What the volume list asks the system about a device.
struct VolumeProbe {
    // Whether the block device (major, minor) is removable.
    std::function<bool(unsigned major, unsigned minor)> isRemovable;
    // The file system label of a device path, or "".
    std::function<std::string(const std::string& device)> labelOf;
};

// The probe that reads /sys/dev/block and /dev/disk/by-label.
VolumeProbe SystemVolumeProbe();
// Picks the volumes out of a mount table.
std::vector<Volume> VolumesFromMounts(const std::vector<MountEntry>& mounts,
                                      const VolumeProbe& probe);
// The volumes mounted now.
std::vector<Volume> ListVolumes();
// Whether the file system type names a network file system.
bool IsNetworkFsType(const std::string& fsType, const std::string& source);

} // namespace platform
