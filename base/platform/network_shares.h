#pragma once
// The network as the PC explorer browses it. On Windows, the Windows network
// (networks, domains, servers, shares) as the system enumerates it; elsewhere
// the mounted network file systems: the network holds servers, a server holds
// the shares mounted from it.
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

// Display types of network places, as Windows numbers them.
namespace net_display {
inline constexpr int kGeneric = 0;
inline constexpr int kDomain = 1;
inline constexpr int kServer = 2;
inline constexpr int kShare = 3;
inline constexpr int kNetwork = 6;
} // namespace net_display

// One place of the network as the system describes it: the numbers and texts
// of a Windows network resource record (texts in UTF-8, empty when absent).
struct NetworkPlace {
    unsigned scope = 0;
    unsigned type = 0;
    int display = net_display::kGeneric;
    unsigned usage = 0;
    std::string localName;  // a connected share's drive ("Z:"), a mounted share's mount point
    std::string remoteName; // "\\server\share" on Windows, "//server/share" elsewhere
    std::string comment;
    std::string provider;
};

// The places directly under a place, or why they cannot be had.
struct NetworkListing {
    unsigned long error = 0; // 0, or the system's code for a failed enumeration
    std::string errorText;   // the system's text for that code
    std::vector<NetworkPlace> places;
};

// The places directly under a place (null: the top of the network), in the
// order the system gives them. A failed enumeration comes back as an error,
// never as an empty network.
NetworkListing ListNetworkPlaces(const NetworkPlace* under);

// Connects to a place whose files could not be read (a share that wants a
// password), asking the person through the system's connection dialog,
// owned by the native window owner. Returns 0 once connected, ECANCELED when
// the person cancelled, ENOTSUP where the system has no such dialog, else an
// errno value.
int ConnectNetworkPlace(const NetworkPlace& place, void* owner);

// The mounted shares as places: their servers at the top (and under a
// network or generic place), a server's shares under it.
std::vector<NetworkPlace> PlacesOfShares(const std::vector<NetworkShare>& shares,
                                         const NetworkPlace* under);

} // namespace platform
