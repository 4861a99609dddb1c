// The player's storage: damaged files, interrupted processes, two processes
// at once and the change notifier.
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
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

TEST_F(StorageTest, DamagedDatabaseFailsWithCode4) {
    Populate();
    std::filesystem::resize_file(folder_ + "/player.db", 1000);
    ExpectDamaged();
    CloseHandle();
    kdtest::WriteFile(folder_ + "/player.db", Pattern(8192, 3));
    ExpectDamaged();
    CloseHandle();
    std::filesystem::resize_file(folder_ + "/player.db", 0);
    ExpectDamaged();
    CloseHandle();
    std::filesystem::remove(folder_ + "/player.db");
    KD5200_HANDLE handle = nullptr;
    ExpectError(KD5200_Open(&handle), KD5200_ERR_DIRECTORY);
}

TEST_F(StorageTest, TruncatedImageFailsWithCode4) {
    Populate();
    std::filesystem::resize_file(kd5200::Store::ImagePath(folder_, 0), 16384);
    ExpectDamaged();
}

TEST_F(StorageTest, InconsistentDirectoryRowsFailWithCode4) {
    const char* damage[] = {
        "UPDATE entry SET size = 99999 WHERE pos = 0",
        "UPDATE entry SET pos = 5 WHERE pos = 1",
        "UPDATE entry SET base = 'bad name' WHERE pos = 0",
        "UPDATE entry SET ext = 'TOOLONG' WHERE pos = 0",
        "UPDATE entry SET long_name = 'a/b' WHERE pos = 0",
        "UPDATE entry SET size = 'text' WHERE pos = 0",
        "UPDATE entry SET block_count = 300, size = 300 * 16384 WHERE pos = 0",
        "UPDATE memory SET capacity = -5 WHERE id = 0",
        "DELETE FROM memory WHERE id = 0",
        "DELETE FROM meta WHERE key = 'schema'",
        "DROP TABLE entry",
    };
    for (const char* statement : damage) {
        SCOPED_TRACE(statement);
        CreatePlayer(256, 64);
        Populate();
        Sql(statement);
        ExpectDamaged();
        CloseHandle();
    }
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

// The contents of crash-test file number n.
std::string CrashFile(int n) {
    return Pattern(static_cast<size_t>((n * 7919) % 90000), static_cast<unsigned>(n));
}

TEST_F(StorageTest, KilledDuringDownloadsLeavesAConsistentPlayer) {
    CreatePlayer(64, 16);
    std::mt19937 random(42);
    int next = 0;
    for (int round = 0; round < 12; ++round) {
        CloseHandle();
        const int first = next;
        next += 1000;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Downloads and deletes until killed.
            KD5200_HANDLE handle = nullptr;
            if (!KD5200_Open(&handle)) _exit(2);
            for (int n = first;; ++n) {
                const std::string path = pc_ + "/f" + std::to_string(n);
                kdtest::WriteFile(path, CrashFile(n));
                if (!KD5200_Download(nullptr, handle, n % 2, path.c_str())) {
                    KD5200_Delete(nullptr, handle, n % 2, 0, nullptr);
                }
                unlink(path.c_str());
            }
        }
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(2000, 60000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << status;

        for (int memory = 0; memory < 2; ++memory) {
            KD5200_MEMINFO info{};
            const auto entries = Refresh(memory, info);
            uint32_t blocks = 0;
            for (size_t i = 0; i < entries.size(); ++i) {
                const std::string name = entries[i].longName;
                ASSERT_EQ(name[0], 'f');
                const std::string out = dir_ + "/check";
                ASSERT_NE(KD5200_Upload(nullptr, Handle(), memory, static_cast<int32_t>(i),
                                        out.c_str(), nullptr, 0, 0),
                          0)
                    << KD5200_GetError();
                ASSERT_EQ(ReadFile(out), CrashFile(std::stoi(name.substr(1)))) << name;
                blocks += (entries[i].size + 16383) / 16384;
            }
            EXPECT_EQ(info.usedBlocks, blocks);
        }
        // A download into the freed space still works after the crash.
        ASSERT_NE(KD5200_Format(nullptr, Handle(), 0), 0);
        ASSERT_TRUE(Download(0, PcFile("after.bin", Pattern(50000, 1))));
        ASSERT_NE(KD5200_Delete(nullptr, Handle(), 0, 0, nullptr), 0);
    }
}

TEST_F(StorageTest, TwoProcessesShareOnePlayer) {
    CloseHandle();
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            KD5200_HANDLE handle = nullptr;
            if (!KD5200_Open(&handle)) _exit(2);
            for (int n = 0; n < 40; ++n) {
                const int id = c * 100 + n;
                const std::string path = pc_ + "/p" + std::to_string(id);
                kdtest::WriteFile(path, CrashFile(id));
                if (!KD5200_Download(nullptr, handle, 0, path.c_str())) _exit(3);
            }
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const auto entries = Refresh(0);
    ASSERT_EQ(entries.size(), 80u);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string out = dir_ + "/check";
        ASSERT_NE(KD5200_Upload(nullptr, Handle(), 0, static_cast<int32_t>(i), out.c_str(), nullptr,
                                0, 0),
                  0);
        EXPECT_EQ(ReadFile(out), CrashFile(std::stoi(std::string(entries[i].longName).substr(1))));
    }
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
