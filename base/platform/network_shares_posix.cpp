// The network without a Windows network: the servers and shares mounted here.
#include "base/platform/network_shares.h"

namespace platform {

NetworkListing ListNetworkPlaces(const NetworkPlace* under) {
    NetworkListing listing;
    listing.places = PlacesOfShares(ListNetworkShares(), under);
    return listing;
}

} // namespace platform
