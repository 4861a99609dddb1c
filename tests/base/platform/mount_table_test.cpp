// Mount table parsing, volumes and network shares.
#include "base/platform/mount_table.h"
#include "base/platform/network_shares.h"
#include "base/platform/volumes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::VolumeKind;

// A desktop machine's table: pseudo file systems, a root disk, a bind mount,
// a USB stick with a blank in its mount point, a DVD, a snap package and
// network shares of several kinds.
const char* kSample =
    "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
    "22 26 0:21 / /sys rw,relatime shared:7 - sysfs sysfs rw\n"
    "23 26 0:6 / /dev rw - devtmpfs devtmpfs rw,size=100k\n"
    "24 23 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
    "26 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "27 26 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
    "28 26 8:3 / /home rw shared:2 - ext4 /dev/sda3 rw\n"
    "29 26 8:3 /alice/shared /srv/shared rw - ext4 /dev/sda3 rw\n"
    "30 26 0:40 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "31 26 8:17 / /media/alice/MY\\040STICK rw,nosuid shared:90 - vfat /dev/sdb1 rw\n"
    "32 26 11:0 / /media/alice/DVD ro - iso9660 /dev/sr0 ro\n"
    "33 26 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "34 26 0:50 / /mnt/nas rw - cifs //nas/music rw,vers=3.0\n"
    "35 26 0:51 / /mnt/nas2 rw - smb3 //NAS/Photos/2023 rw\n"
    "36 26 0:52 / /mnt/exports rw - nfs4 fileserver:/export/pub rw\n"
    "37 26 0:53 / /home/alice/remote rw - fuse.sshfs alice@shell.example.org:/home/alice rw\n"
    "38 26 0:54 / /mnt/dav rw - fuse https://dav.example.org:8443/files/ rw\n"
    "39 26 0:55 / /mnt/overlay rw - overlay overlay rw,lowerdir=/a\n"
    "garbage line\n";

platform::VolumeProbe FakeProbe() {
    platform::VolumeProbe probe;
    probe.isRemovable = [](unsigned major, unsigned minor) { return major == 8 && minor == 17; };
    probe.labelOf = [](const std::string& device) {
        return device == "/dev/sda3" ? std::string("Home Disk") : std::string();
    };
    return probe;
}

TEST(MountTable, ParsesFieldsAndEscapes) {
    const auto entries = platform::ParseMountInfo(kSample);
    ASSERT_EQ(entries.size(), 18u); // the garbage line is skipped
    const auto stick = std::find_if(entries.begin(), entries.end(),
                                    [](const auto& e) { return e.source == "/dev/sdb1"; });
    ASSERT_NE(stick, entries.end());
    EXPECT_EQ(stick->mountPoint, "/media/alice/MY STICK");
    EXPECT_EQ(stick->major, 8u);
    EXPECT_EQ(stick->minor, 17u);
    EXPECT_EQ(stick->fsType, "vfat");
    // Optional fields ("shared:1") before the separator do not shift the rest.
    EXPECT_EQ(entries[4].fsType, "ext4");
    EXPECT_EQ(entries[4].source, "/dev/sda2");
}

TEST(Volumes, PicksRootAndRealDevices) {
    const auto volumes =
        platform::VolumesFromMounts(platform::ParseMountInfo(kSample), FakeProbe());
    std::vector<std::string> roots;
    for (const auto& v : volumes)
        roots.push_back(v.root);
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home", "/media/alice/MY STICK",
                                               "/media/alice/DVD"}));
    EXPECT_EQ(volumes[0].label, "File System");
    EXPECT_EQ(volumes[1].label, "Home Disk");
    EXPECT_EQ(volumes[2].label, "MY STICK");
    EXPECT_EQ(volumes[2].name, "MY STICK (/media/alice/MY STICK)");
    EXPECT_EQ(volumes[0].kind, VolumeKind::Fixed);
    EXPECT_EQ(volumes[2].kind, VolumeKind::Removable);
    EXPECT_EQ(volumes[3].kind, VolumeKind::Optical);
}

TEST(Volumes, LaterMountOnSamePointWins) {
    const char* text = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                       "2 1 8:17 / /media/x rw - vfat /dev/sdb1 rw\n"
                       "3 2 8:33 / /media/x rw - exfat /dev/sdc1 rw\n";
    const auto volumes = platform::VolumesFromMounts(platform::ParseMountInfo(text), FakeProbe());
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[1].device, "/dev/sdc1");
}

TEST(Volumes, ThisMachineListsRoot) {
    const auto volumes = platform::ListVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_TRUE(
        std::any_of(volumes.begin(), volumes.end(), [](const auto& v) { return v.root == "/"; }));
}

TEST(NetworkShares, ServerAndShareOfEachKind) {
    const auto shares = platform::ParseNetworkShares(kSample);
    ASSERT_EQ(shares.size(), 5u);
    EXPECT_EQ(shares[0].server, "nas");
    EXPECT_EQ(shares[0].share, "music");
    EXPECT_EQ(shares[0].mountPoint, "/mnt/nas");
    EXPECT_EQ(shares[1].server, "NAS");
    EXPECT_EQ(shares[1].share, "Photos/2023");
    EXPECT_EQ(shares[2].server, "fileserver");
    EXPECT_EQ(shares[2].share, "export/pub");
    EXPECT_EQ(shares[3].server, "shell.example.org"); // user name dropped
    EXPECT_EQ(shares[3].share, "home/alice");
    EXPECT_EQ(shares[4].server, "dav.example.org"); // port dropped
    EXPECT_EQ(shares[4].share, "files");

    const auto servers = platform::NetworkServers(shares);
    EXPECT_EQ(servers, (std::vector<std::string>{"nas", "NAS", "fileserver", "shell.example.org",
                                                 "dav.example.org"}));
    EXPECT_EQ(platform::SharesOfServer(shares, "nas").size(), 1u);
}

TEST(NetworkShares, NfsOverIpv6AndNoNetworkMounts) {
    const auto shares =
        platform::ParseNetworkShares("1 0 0:60 / /mnt/v6 rw - nfs [fd00::5]:/srv rw\n"
                                     "2 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    ASSERT_EQ(shares.size(), 1u);
    EXPECT_EQ(shares[0].server, "[fd00::5]");
    EXPECT_EQ(shares[0].share, "srv");
    EXPECT_TRUE(platform::ParseNetworkShares("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n").empty());
}

} // namespace
