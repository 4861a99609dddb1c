#pragma once
// A place of the network as the explorer shows it: the network itself, a
// server, or a share mounted from a server.
#include <string>

namespace desktop {

// What a network place is, with the numbers of the Windows display types.
enum class NetDisplay { Generic = 0, Domain = 1, Server = 2, Share = 3, Network = 6 };

struct NetResource {
    NetDisplay display = NetDisplay::Generic;
    std::string remoteName; // "//server" or "//server/share"
    std::string localName;  // where a share's files are reached (its mount point)
    std::string comment;    // shown in the Type column
    std::string provider;   // the file system type ("cifs", "nfs4")
};

} // namespace desktop
