// The desktop view's rows without windows: listing, the network places and
// the order under each column.
#include "views/desktop/desktop_rows.h"
#include "views/desktop/share_listing.h"
#include "lib/lists/file_rows.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace desktop;

namespace {

TEST(DesktopRows, ListingKeepsFoldersApartAndReportsErrors) {
    const fs::path dir = fs::temp_directory_path() / ("desktop_rows_" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "x.MP3") << "1";
    std::ofstream(dir / "y.wav") << "1";
    fs::create_symlink(dir / "sub", dir / "link");
    fs::create_symlink(dir / "gone", dir / "dangling.mp3");
    std::vector<DesktopRow> rows;
    ASSERT_EQ(ListFolder(dir.string(), "*.mp3", rows), 0);
    std::vector<std::string> names;
    for (const DesktopRow& r : rows)
        names.push_back(r.name + (r.directory ? "/" : ""));
    std::sort(names.begin(), names.begin() + 2);
    EXPECT_EQ(names, (std::vector<std::string>{"link/", "sub/", rows[2].name, rows[3].name}));
    EXPECT_EQ(rows.size(), 4u); // x.MP3 and the dangling link, not y.wav
    EXPECT_EQ(ListFolder((dir / "missing").string(), "*.*", rows), ENOENT);
    fs::remove_all(dir);
}

DesktopRow Row(RowKind kind, const char* name, bool directory, std::uint64_t size = 0,
               std::int64_t mtime = 0) {
    DesktopRow row;
    row.kind = kind;
    row.name = name;
    row.directory = directory;
    row.size = size;
    row.mtime = mtime;
    return row;
}

TEST(DesktopRows, KindsFoldersAndDescendingOrder) {
    const std::vector<DesktopRow> rows = {
        Row(RowKind::File, "b.mp3", false, 10, 5),
        Row(RowKind::File, "dir", true, 0, 9),
        Row(RowKind::Drive, "root (/)", true),
        Row(RowKind::File, "a.mp3", false, 4000000000ull * 3, 1),
        Row(RowKind::Network, "nas", false),
    };
    HRowOrder order;
    order.Reset(rows.size());
    auto sort = [&](int column, bool ascending) {
        SortRowsBy(
            order, rows,
            [column](const DesktopRow& a, const DesktopRow& b) {
                return CompareRows(a, b, column);
            },
            ascending);
        std::vector<std::string> names;
        for (uint32_t i : order.Indices())
            names.push_back(rows[i].name);
        return names;
    };
    EXPECT_EQ(sort(kSize, true),
              (std::vector<std::string>{"nas", "root (/)", "dir", "b.mp3", "a.mp3"}));
    EXPECT_EQ(sort(kSize, false),
              (std::vector<std::string>{"a.mp3", "b.mp3", "dir", "root (/)", "nas"}));
    EXPECT_EQ(sort(kDate, true)[3], "a.mp3");
    EXPECT_EQ(SizeText(rows[3]), "11,718,750KB");
    EXPECT_EQ(SizeText(Row(RowKind::File, "4g", false, 4294967296ull)), "4,194,304KB");
    EXPECT_EQ(SizeText(Row(RowKind::File, "max", false, ~0ull)), "18,014,398,509,481,984KB");
    EXPECT_EQ(SizeText(rows[2]), "");
}

TEST(DesktopRows, NetworkServersThenShares) {
    std::vector<platform::NetworkShare> shares = {
        {"nas", "music", "/mnt/music", "cifs", "//nas/music"},
        {"nas", "films", "/mnt/films", "cifs", "//nas/films"},
        {"box", "export/pub", "/mnt/pub", "nfs4", "box:/export/pub"},
    };
    const std::vector<DesktopRow> servers = NetworkRows(shares, std::nullopt);
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].name, "nas");
    EXPECT_EQ(servers[0].network->display, platform::net_display::kServer);
    EXPECT_TRUE(servers[0].path.empty()); // a server takes no uploads
    const std::vector<DesktopRow> nas = NetworkRows(shares, servers[0].network);
    ASSERT_EQ(nas.size(), 2u);
    EXPECT_EQ(nas[1].name, "films");
    EXPECT_EQ(nas[1].path, "/mnt/films");
    EXPECT_EQ(nas[1].network->display, platform::net_display::kShare);
    EXPECT_EQ(NetworkRows(shares, servers[1].network)[0].name, "pub");
}

TEST(DesktopRows, WindowsNetworkPlacesNamedAndPictured) {
    auto place = [](int display, std::string remote, std::string provider = "") {
        platform::NetworkPlace p;
        p.display = display;
        p.remoteName = std::move(remote);
        p.provider = std::move(provider);
        p.comment = "c";
        return p;
    };
    const std::vector<DesktopRow> rows = NetworkRows(std::vector<platform::NetworkPlace>{
        place(platform::net_display::kNetwork, ""),
        place(platform::net_display::kGeneric, "", "Web Client Network"),
        place(platform::net_display::kDomain, "WORKGROUP"),
        place(platform::net_display::kServer, "\\\\NAS"),
        place(platform::net_display::kShare, "\\\\NAS\\Music")});
    ASSERT_EQ(rows.size(), 5u);
    const std::vector<std::string> names = {"Microsoft Windows Network", "Web Client Network",
                                            "WORKGROUP", "NAS", "Music"};
    const std::vector<int> images = {2, 2, 2, 4, 0};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, names[i]);
        EXPECT_EQ(rows[i].image, images[i]);
        EXPECT_EQ(rows[i].index, int(i));
        EXPECT_EQ(rows[i].type, "c");
    }
    // Only the share holds files, reached by its UNC path.
    EXPECT_TRUE(rows[3].path.empty());
    EXPECT_EQ(rows[4].path, "//NAS/Music");
    // A row's place opens as the record it came from.
    const platform::NetworkPlace& back = *rows[2].network;
    EXPECT_EQ(back.remoteName, "WORKGROUP");
    EXPECT_EQ(back.display, platform::net_display::kDomain);
}

// A share that refuses access is asked about once: listed again once
// connected, left in silence when cancelled, its own error otherwise.
TEST(DesktopRows, ShareThatWantsAPasswordAsksOnce) {
    struct Run {
        std::vector<int> listings; // what each listing gives, in turn
        int connection;            // what the connection dialog gives
        int lists = 0, asks = 0;
        int operator()() {
            const auto list = [&] { return listings.at(lists++); };
            const auto connect = [&] {
                ++asks;
                return connection;
            };
            return ListShareFolder(list, connect);
        }
    };
    Run connected{{EACCES, 0}, 0};
    EXPECT_EQ(connected(), 0);
    EXPECT_EQ(connected.lists, 2);
    Run refusedAgain{{EACCES, EACCES}, 0};
    EXPECT_EQ(refusedAgain(), EACCES);
    EXPECT_EQ(refusedAgain.asks, 1);
    Run cancelled{{EACCES}, ECANCELED};
    EXPECT_EQ(cancelled(), ECANCELED);
    EXPECT_EQ(cancelled.lists, 1);
    Run unreachable{{EACCES}, EIO};
    EXPECT_EQ(unreachable(), EIO);
    Run noDialog{{EACCES}, ENOTSUP}; // Linux mounts its shares itself
    EXPECT_EQ(noDialog(), EACCES);
    Run missing{{ENOENT}, 0}; // only a refusal is asked about
    EXPECT_EQ(missing(), ENOENT);
    EXPECT_EQ(missing.asks, 0);
    Run open{{0}, 0};
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(open.asks, 0);
}

} // namespace
