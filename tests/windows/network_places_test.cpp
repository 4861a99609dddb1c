// Run under Wine: the Windows network as the PC explorer lists it. Wine has
// no network provider that lists anything, so made-up resource records stand
// in for the system's enumeration: the rows they become (names, kinds,
// images, comments, order), records read over several batches and through a
// buffer grown to the size asked for, the record of the place opened, and a
// failing enumeration told as a failure. Then the system's own enumeration,
// which under Wine fails and must say so.
#include "base/platform/network_enum_win.h"
#include "views/desktop/desktop_rows.h"
#include "wine_check.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using desktop::DesktopRow;
using wine_check::Check;

struct Record {
    DWORD display;
    DWORD usage;
    std::wstring remote; // empty: no remote name
    std::wstring comment;
    std::wstring provider = L"Microsoft Windows Network";
};

// One answer of WNetEnumResourceW: records, or a code with none.
struct Batch {
    std::vector<Record> records;
    DWORD code = NO_ERROR;
};

// An enumeration that answers with the batches given, packing the records
// into the caller's buffer as the system does (structures first, texts
// behind them), and asks for more room when one does not fit.
class FakeNetwork {
public:
    std::deque<Batch> batches;
    DWORD openCode = NO_ERROR;
    int opens = 0, closes = 0, grown = 0;
    std::wstring openedRemote, openedProvider;
    DWORD openedDisplay = 0, openedUsage = 0;
    bool openedTop = false;

    platform::NetEnumCalls Calls() {
        return {
            [this](NETRESOURCEW* under, HANDLE* enumeration) {
                ++opens;
                openedTop = under == nullptr;
                if (under) {
                    openedRemote = under->lpRemoteName ? under->lpRemoteName : L"";
                    openedProvider = under->lpProvider ? under->lpProvider : L"";
                    openedDisplay = under->dwDisplayType;
                    openedUsage = under->dwUsage;
                }
                *enumeration = reinterpret_cast<HANDLE>(this);
                return openCode;
            },
            [this](HANDLE, DWORD* count, void* buffer, DWORD* size) { return Next(count, buffer, size); },
            [this](HANDLE) {
                ++closes;
                return DWORD(NO_ERROR);
            },
        };
    }

private:
    static DWORD SizeOf(const Batch& batch) {
        DWORD size = 0;
        for (const Record& r : batch.records)
            size += sizeof(NETRESOURCEW) +
                    DWORD((r.remote.size() + r.comment.size() + r.provider.size() + 3) * sizeof(wchar_t));
        return size;
    }

    DWORD Next(DWORD* count, void* buffer, DWORD* size) {
        if (batches.empty()) return ERROR_NO_MORE_ITEMS;
        Batch& batch = batches.front();
        if (batch.code != NO_ERROR) return batch.code;
        const DWORD needed = SizeOf(batch);
        if (needed > *size) {
            ++grown;
            *size = needed;
            return ERROR_MORE_DATA;
        }
        auto* records = static_cast<NETRESOURCEW*>(buffer);
        auto* text = reinterpret_cast<wchar_t*>(records + batch.records.size());
        auto put = [&text](const std::wstring& s) -> wchar_t* {
            if (s.empty()) return nullptr;
            wchar_t* at = text;
            std::memcpy(at, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
            text += s.size() + 1;
            return at;
        };
        for (size_t i = 0; i < batch.records.size(); ++i) {
            const Record& r = batch.records[i];
            records[i] = NETRESOURCEW{};
            records[i].dwScope = RESOURCE_GLOBALNET;
            records[i].dwType = RESOURCETYPE_ANY;
            records[i].dwDisplayType = r.display;
            records[i].dwUsage = r.usage;
            records[i].lpRemoteName = put(r.remote);
            records[i].lpComment = put(r.comment);
            records[i].lpProvider = put(r.provider);
        }
        *count = DWORD(batch.records.size());
        batches.pop_front();
        return NO_ERROR;
    }
};

std::vector<std::string> Names(const std::vector<DesktopRow>& rows) {
    std::vector<std::string> names;
    for (const DesktopRow& row : rows) names.push_back(row.name);
    return names;
}

void TopOfTheNetwork() {
    FakeNetwork net;
    // A provider's network without a remote name, one with its own name,
    // and a domain; then, in a second batch, a record whose long comment
    // does not fit the first buffer.
    net.batches.push_back({{{RESOURCEDISPLAYTYPE_NETWORK, RESOURCEUSAGE_CONTAINER, L"", L""},
                            {RESOURCEDISPLAYTYPE_NETWORK, RESOURCEUSAGE_CONTAINER, L"Web Client Network", L""},
                            {RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER, L"WORKGROUP", L""}}});
    net.batches.push_back({{{RESOURCEDISPLAYTYPE_GENERIC, RESOURCEUSAGE_CONTAINER, L"", std::wstring(20000, L'x'),
                             L""}}});
    const platform::NetworkListing listing = platform::EnumerateNetworkPlaces(nullptr, net.Calls());
    Check(net.openedTop, "the top of the network is opened without a record");
    Check(listing.error == 0, "a whole enumeration is no failure");
    Check(net.grown == 1, "a record larger than the buffer is read with the size asked for");
    Check(net.closes == 1, "the enumeration is closed once");
    const std::vector<DesktopRow> rows = desktop::NetworkRows(listing.places);
    Check(Names(rows) == std::vector<std::string>{"Microsoft Windows Network", "Web Client Network",
                                                  "WORKGROUP", std::string(20000, 'x')},
          "the top's rows, in the system's order, named by their remote names (a network "
          "without one as the Windows network, a nameless place by its comment)");
    for (size_t i = 0; i < rows.size(); ++i) {
        Check(rows[i].kind == desktop::RowKind::Network && rows[i].index == int(i),
              "row " + std::to_string(i) + " is a network row at its enumeration index");
        Check(rows[i].image == 2, "networks and domains show the network image");
        Check(rows[i].path.empty(), "a network or domain takes no uploads");
    }
    Check(rows[1].network->usage == RESOURCEUSAGE_CONTAINER &&
              rows[1].network->provider == "Microsoft Windows Network",
          "a row keeps its record's usage and provider");
}

void ServersAndShares() {
    // A domain opened: its servers, given back the domain's record.
    FakeNetwork net;
    net.batches.push_back({{{RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER, L"\\\\NAS", L"Music box"},
                            {RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER, L"\\\\서버", L""}}});
    platform::NetworkPlace domain;
    domain.display = RESOURCEDISPLAYTYPE_DOMAIN;
    domain.usage = RESOURCEUSAGE_CONTAINER;
    domain.remoteName = "WORKGROUP";
    domain.provider = "Microsoft Windows Network";
    const std::vector<DesktopRow> servers =
        desktop::NetworkRows(platform::EnumerateNetworkPlaces(&domain, net.Calls()).places);
    Check(!net.openedTop && net.openedRemote == L"WORKGROUP" &&
              net.openedProvider == L"Microsoft Windows Network" &&
              net.openedDisplay == RESOURCEDISPLAYTYPE_DOMAIN && net.openedUsage == RESOURCEUSAGE_CONTAINER,
          "a place is opened under its own record");
    Check(Names(servers) == std::vector<std::string>{"NAS", "서버"},
          "servers are named after their last backslash, Korean names kept");
    Check(servers.size() == 2 && servers[0].image == 4 && servers[0].type == "Music box" &&
              servers[0].network->display == platform::net_display::kServer && servers[0].path.empty(),
          "a server: its image, its comment in the Type column, no uploads");

    // The server opened: its shares, where their files are reached.
    FakeNetwork shares;
    shares.batches.push_back(
        {{{RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE, L"\\\\NAS\\Music", L"Songs"},
          {RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE, L"\\\\NAS\\Films", L""}}});
    const platform::NetworkPlace& server = *servers[0].network;
    std::vector<DesktopRow> rows =
        desktop::NetworkRows(platform::EnumerateNetworkPlaces(&server, shares.Calls()).places);
    Check(shares.openedRemote == L"\\\\NAS", "the server is opened by its remote name");
    Check(Names(rows) == std::vector<std::string>{"Music", "Films"}, "shares named by their last part");
    Check(rows.size() == 2 && rows[0].image == 0 && rows[0].type == "Songs" &&
              rows[0].path == "//NAS/Music" && rows[0].network->display == platform::net_display::kShare,
          "a share: its image, comment, and its files reached by its UNC path");
    // Sorted as the view sorts them: by name, Type breaking no rule of kinds.
    std::sort(rows.begin(), rows.end(), [](const DesktopRow& a, const DesktopRow& b) {
        return desktop::CompareRows(a, b, desktop::kName) < 0;
    });
    Check(Names(rows) == std::vector<std::string>{"Films", "Music"}, "network rows sort by name");
}

void FailuresAreFailures() {
    FakeNetwork closed;
    closed.openCode = ERROR_NO_NETWORK;
    const platform::NetworkListing none = platform::EnumerateNetworkPlaces(nullptr, closed.Calls());
    Check(none.error == ERROR_NO_NETWORK && !none.errorText.empty() && none.places.empty(),
          "a network that cannot be opened is an error with the system's text, got \"" + none.errorText + "\"");
    Check(closed.closes == 0, "an enumeration never opened is not closed");

    // A failure after a first batch: the error, not half a network.
    FakeNetwork broken;
    broken.batches.push_back({{{RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER, L"\\\\A", L""}}});
    broken.batches.push_back({{}, ERROR_BAD_NETPATH});
    const platform::NetworkListing half = platform::EnumerateNetworkPlaces(nullptr, broken.Calls());
    Check(half.error == ERROR_BAD_NETPATH && half.places.empty(), "a failure on the way is an error");
    Check(broken.closes == 1, "a failed enumeration is closed");

    // An enumeration that keeps saying "more" without giving any ends.
    FakeNetwork stuck;
    stuck.batches.push_back({{}, ERROR_MORE_DATA});
    Check(platform::EnumerateNetworkPlaces(nullptr, stuck.Calls()).error == ERROR_MORE_DATA,
          "more data that never comes is an error, not an endless wait");

    // The system's own network under Wine: no provider lists anything, which
    // must come back as a failure or as places, never as a silent nothing.
    const platform::NetworkListing system = platform::ListNetworkPlaces(nullptr);
    std::printf("the system's network: error %lu \"%s\", %u places\n", system.error,
                system.errorText.c_str(), unsigned(system.places.size()));
    Check(system.error != 0 ? !system.errorText.empty() : true,
          "a failing system enumeration has the system's text");

    // A share no provider reaches cannot be connected: a failure, neither a
    // connection nor the person's cancel (which would go back in silence).
    platform::NetworkPlace nowhere;
    nowhere.display = platform::net_display::kShare;
    nowhere.type = RESOURCETYPE_DISK;
    nowhere.remoteName = "\\\\NOWHERE\\music";
    const int connected = platform::ConnectNetworkPlace(nowhere, nullptr);
    std::printf("connecting %s: %d\n", nowhere.remoteName.c_str(), connected);
    Check(connected != 0 && connected != ECANCELED, "an unreachable share is a failure");
}

} // namespace

int main() {
    TopOfTheNetwork();
    ServersAndShares();
    FailuresAreFailures();
    return wine_check::Status();
}
