// The network without a Windows network: the servers and shares mounted here.
#include "base/platform/network_shares.h"

#include <cerrno>

namespace platform {

NetworkListing ListNetworkPlaces(const NetworkPlace* under) {
    NetworkListing listing;
    listing.places = PlacesOfShares(ListNetworkShares(), under);
    return listing;
}

// Mounted shares are connected by the system, not by asking here.
int ConnectNetworkPlace(const NetworkPlace&, void*) {
    return ENOTSUP;
}

} // namespace platform
