#pragma once
// Mounted network file systems in place of the Windows network: the network
// holds servers, a server holds the shares mounted from it.
#include "base/platform/mount_table.h"

#include <string>
#include <vector>

namespace platform {

// One mounted network share.
struct NetworkShare {
    std::string server;     // host name ("nas", "192.168.1.5"), without a user name
    std::string share;      // the remote folder without leading "/" ("music", "export/pub")
    std::string mountPoint; // where its files are reached
    std::string fsType;     // "cifs", "nfs4", "fuse.sshfs" ...
    std::string source;     // the mount table's source text
};

// Picks the network shares out of a mount table, in table order.
std::vector<NetworkShare> NetworkSharesFromMounts(const std::vector<MountEntry>& mounts);
// Parses mountinfo text and picks its network shares.
std::vector<NetworkShare> ParseNetworkShares(const std::string& mountInfoText);
// The network shares mounted now.
std::vector<NetworkShare> ListNetworkShares();
// The distinct servers of the shares, in order of first appearance.
std::vector<std::string> NetworkServers(const std::vector<NetworkShare>& shares);
// The shares of one server.
std::vector<NetworkShare> SharesOfServer(const std::vector<NetworkShare>& shares,
                                         const std::string& server);

} // namespace platform
