#pragma once
// Windows only: enumerating the Windows network through calls that a test
// can stand in for, and the resource records it returns as places.
#include "base/platform/network_shares.h"

#include <windows.h>
#include <winnetwk.h>

#include <functional>

namespace platform {

// WNetOpenEnumW (global network, every type and usage, under a resource or
// none), WNetEnumResourceW and WNetCloseEnum, or a test's stand-ins.
struct NetEnumCalls {
    std::function<DWORD(NETRESOURCEW* under, HANDLE* enumeration)> open;
    std::function<DWORD(HANDLE enumeration, DWORD* count, void* buffer, DWORD* size)> next;
    std::function<DWORD(HANDLE enumeration)> close;
};

// The system's calls.
NetEnumCalls SystemNetEnumCalls();

// A resource record as a place, its texts in UTF-8.
NetworkPlace PlaceFromRecord(const NETRESOURCEW& record);

// Every place under a place (null: the top), batch after batch until the
// system has no more, in its order; a buffer the system finds too small is
// grown to the size it asks for. An enumeration that cannot be opened or
// that fails on the way gives the system's code and text, and no places.
NetworkListing EnumerateNetworkPlaces(const NetworkPlace* under, const NetEnumCalls& calls);

} // namespace platform
