// The player's storage: damaged files and the change notifier.
#include <filesystem>
#include <functional>
#include <poll.h>
#include <sqlite3.h>
#include <unistd.h>

#include "player_fixture.h"

namespace {

using kdtest::Pattern;
using kdtest::PlayerTest;
using kdtest::ReadFile;

class StorageTest : public PlayerTest {
protected:
    // Two files on the internal memory, then the handle closed.
    void Populate() {
        ASSERT_TRUE(Download(0, PcFile("one.bin", Pattern(20000, 1))));
        ASSERT_TRUE(Download(0, PcFile("two.bin", Pattern(30000, 2))));
        CloseHandle();
    }

    void Sql(const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((folder_ + "/player.db").c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    // Refresh of the internal memory fails with code 4 and nothing crashes.
    void ExpectDamaged() {
        KD5200_MEMINFO info{};
        KD5200_DIRENTRY entries[KD5200_MAX_ENTRIES];
        int32_t count = KD5200_MAX_ENTRIES;
        ExpectError(KD5200_Refresh(Handle(), 0, &info, entries, &count), KD5200_ERR_DIRECTORY);
    }
};

TEST_F(StorageTest, DamagedFilesAndDirectoryRowsFailWithCode4) {
    const std::string db = folder_ + "/player.db";
    const std::function<void()> damage[] = {
        [&] { std::filesystem::resize_file(db, 1000); },
        [&] { kdtest::WriteFile(db, Pattern(8192, 3)); },
        [&] { std::filesystem::resize_file(db, 0); },
        [&] { std::filesystem::resize_file(kd5200::Store::ImagePath(folder_, 0), 16384); },
        [&] { Sql("UPDATE entry SET size = 99999 WHERE pos = 0"); },
        [&] { Sql("UPDATE entry SET pos = 5 WHERE pos = 1"); },
        [&] { Sql("UPDATE entry SET base = 'bad name' WHERE pos = 0"); },
        [&] { Sql("UPDATE entry SET ext = 'TOOLONG' WHERE pos = 0"); },
        [&] { Sql("UPDATE entry SET long_name = 'a/b' WHERE pos = 0"); },
        [&] { Sql("UPDATE entry SET size = 'text' WHERE pos = 0"); },
        [&] { Sql("UPDATE entry SET block_count = 300, size = 300 * 16384 WHERE pos = 0"); },
        [&] { Sql("UPDATE memory SET capacity = -5 WHERE id = 0"); },
        [&] { Sql("DELETE FROM memory WHERE id = 0"); },
        [&] { Sql("DELETE FROM meta WHERE key = 'schema'"); },
        [&] { Sql("DROP TABLE entry"); },
    };
    for (size_t i = 0; i < std::size(damage); ++i) {
        SCOPED_TRACE("damage " + std::to_string(i));
        CreatePlayer(256, 64);
        Populate();
        damage[i]();
        ExpectDamaged();
        CloseHandle();
    }
    // Without its database the player cannot be opened at all.
    std::filesystem::remove(db);
    KD5200_HANDLE handle = nullptr;
    ExpectError(KD5200_Open(&handle), KD5200_ERR_DIRECTORY);
}

TEST_F(StorageTest, DamagedBlockListsAreRefusedNotFollowed) {
    Populate();
    // Both files claim the same blocks: listing works, but no download may
    // reuse or overwrite them.
    Sql("UPDATE entry SET blocks = (SELECT blocks FROM entry WHERE pos = 0), block_count = 2, size "
        "= 30000"
        " WHERE pos = 1");
    EXPECT_EQ(Refresh(0).size(), 2u);
    ExpectError(Download(0, PcFile("three.bin", "3")), KD5200_ERR_DIRECTORY);
    CloseHandle();
    Sql("UPDATE entry SET blocks = x'FFFF000001000000' WHERE pos = 0");
    const std::string out = dir_ + "/out.bin";
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, out.c_str(), nullptr, 0, 0),
                KD5200_ERR_DIRECTORY);
    EXPECT_FALSE(std::filesystem::exists(out));
    CloseHandle();
    Sql("UPDATE entry SET blocks = x'0100' WHERE pos = 0");
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, out.c_str(), nullptr, 0, 0),
                KD5200_ERR_DIRECTORY);
}

TEST_F(StorageTest, AnOpenHandleSeesWhatAnotherConnectionChanged) {
    Populate();
    const std::string out = dir_ + "/out.bin";
    const auto upload = [&] {
        std::filesystem::remove(out);
        EXPECT_TRUE(KD5200_Upload(nullptr, Handle(), 0, 0, out.c_str(), nullptr, 0, 0));
        return ReadFile(out);
    };
    ASSERT_EQ(Refresh(0).size(), 2u);
    EXPECT_EQ(upload(), Pattern(20000, 1));
    // Another program removes the first file: the second takes its number.
    Sql("DELETE FROM entry WHERE pos = 0; UPDATE entry SET pos = 0 WHERE pos = 1");
    EXPECT_EQ(upload(), Pattern(30000, 2));
    EXPECT_EQ(Refresh(0).size(), 1u);
    // ... and damages what is left.
    Sql("UPDATE entry SET size = 99999 WHERE pos = 0");
    ExpectDamaged();
}

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 1000) == 1;
}

void Drain(int fd) {
    char buffer[4096];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
}

TEST_F(StorageTest, ChangeNotifierSeesPlugAndUnplug) {
    const int fd = KD5200X_GetChangeNotifier();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(KD5200X_GetChangeNotifier(), fd);
    Drain(fd);
    ASSERT_TRUE(kd5200::SetAttached(folder_, false).Ok());
    EXPECT_TRUE(Readable(fd));
    Drain(fd);
    // Work on the player is no change of attach state.
    ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok());
    ASSERT_TRUE(Readable(fd));
    Drain(fd);
    ASSERT_TRUE(Download(0, PcFile("a.txt", "a")));
    CloseHandle();
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 100), 0);
}

} // namespace
