#pragma once
// A place of the network as the explorer shows it: the network itself, a
// server, or a share mounted from a server.
#include <string>

namespace desktop {

// What a network place is, with the numbers of the Windows display types.
enum class NetDisplay { Generic = 0, Domain = 1, Server = 2, Share = 3, Network = 6 };

struct NetResource {
    NetDisplay display = NetDisplay::Generic;
    std::string remoteName; // "//server/share"; on Windows "\\\\server\\share"
    std::string localName;  // a share's mount point; on Windows its drive when connected
    std::string comment;    // shown in the Type column
    std::string provider;   // the file system type ("cifs", "nfs4"); on Windows the network's name
    // The rest of a Windows network record, given back when the place is
    // opened (0 elsewhere).
    unsigned scope = 0;
    unsigned type = 0;
    unsigned usage = 0;
};

} // namespace desktop
