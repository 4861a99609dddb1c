#include "base/platform/network_shares.h"

#include "base/platform/volumes.h"

#include <algorithm>

namespace platform {

namespace {

std::string TrimSlashes(std::string path) {
    while (!path.empty() && path.front() == '/')
        path.erase(0, 1);
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string DropUser(std::string host) {
    const auto at = host.rfind('@');
    return at == std::string::npos ? host : host.substr(at + 1);
}

// Splits a source text into server and share; false when it names none.
bool SplitSource(const std::string& source, std::string& server, std::string& share) {
    // "//server/share/..." (SMB) and "proto://server/path" (WebDAV and friends).
    std::string rest;
    if (source.rfind("//", 0) == 0) {
        rest = source.substr(2);
    } else if (const auto scheme = source.find("://"); scheme != std::string::npos) {
        rest = source.substr(scheme + 3);
    }
    if (!rest.empty()) {
        const auto slash = rest.find('/');
        server = DropUser(rest.substr(0, slash));
        share = slash == std::string::npos ? "" : TrimSlashes(rest.substr(slash));
        // Drop a port from "host:port".
        if (const auto colon = server.rfind(':');
            colon != std::string::npos && server.find(']') == std::string::npos)
            server.erase(colon);
        return !server.empty();
    }
    // "server:/export/path" (NFS) and "user@server:path" (sshfs); an IPv6
    // address comes in brackets.
    size_t colon;
    if (source.rfind('[', 0) == 0) {
        const auto close = source.find(']');
        if (close == std::string::npos) return false;
        colon = source.find(':', close);
    } else {
        colon = source.find(':');
    }
    if (colon == std::string::npos) return false;
    server = DropUser(source.substr(0, colon));
    share = TrimSlashes(source.substr(colon + 1));
    return !server.empty();
}

} // namespace

std::vector<NetworkShare> NetworkSharesFromMounts(const std::vector<MountEntry>& mounts) {
    std::vector<NetworkShare> shares;
    for (const MountEntry& m : mounts) {
        if (!IsNetworkFsType(m.fsType, m.source)) continue;
        NetworkShare s;
        if (!SplitSource(m.source, s.server, s.share)) continue;
        s.mountPoint = m.mountPoint;
        s.fsType = m.fsType;
        s.source = m.source;
        shares.push_back(std::move(s));
    }
    return shares;
}

std::vector<NetworkShare> ParseNetworkShares(const std::string& mountInfoText) {
    return NetworkSharesFromMounts(ParseMountInfo(mountInfoText));
}

std::vector<NetworkShare> ListNetworkShares() {
    return NetworkSharesFromMounts(ReadMountTable());
}

std::vector<std::string> NetworkServers(const std::vector<NetworkShare>& shares) {
    std::vector<std::string> servers;
    for (const NetworkShare& s : shares)
        if (std::find(servers.begin(), servers.end(), s.server) == servers.end())
            servers.push_back(s.server);
    return servers;
}

std::vector<NetworkPlace> PlacesOfShares(const std::vector<NetworkShare>& shares,
                                         const NetworkPlace* under) {
    std::vector<NetworkPlace> places;
    if (!under || under->display == net_display::kNetwork ||
        under->display == net_display::kGeneric) {
        for (const std::string& server : NetworkServers(shares)) {
            NetworkPlace p;
            p.display = net_display::kServer;
            p.remoteName = "//" + server;
            places.push_back(std::move(p));
        }
    } else if (under->display == net_display::kServer) {
        const auto slash = under->remoteName.find_last_of('/');
        const std::string server = under->remoteName.substr(slash == std::string::npos ? 0 : slash + 1);
        for (const NetworkShare& s : SharesOfServer(shares, server)) {
            NetworkPlace p;
            p.display = net_display::kShare;
            p.remoteName = "//" + server + "/" + s.share;
            p.localName = s.mountPoint;
            p.comment = s.fsType + " " + s.source;
            p.provider = s.fsType;
            places.push_back(std::move(p));
        }
    }
    return places;
}

std::vector<NetworkShare> SharesOfServer(const std::vector<NetworkShare>& shares,
                                         const std::string& server) {
    std::vector<NetworkShare> out;
    std::copy_if(shares.begin(), shares.end(), std::back_inserter(out),
                 [&](const NetworkShare& s) { return s.server == server; });
    return out;
}

} // namespace platform
