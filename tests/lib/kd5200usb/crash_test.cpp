// Crashes and concurrency: processes killed part-way, two processes at once,
// a player pulled out during a transfer, a change waiting for another's.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "lib/kd5200usb/errors.h"
#include "player_fixture.h"
#include "run_program.h"

namespace {

using kdtest::Pattern;
using kdtest::ReadFile;

class CrashTest : public kdtest::PlayerTest {
protected:
    // The contents of a file of the player, or "<failed N>".
    std::string Contents(int memory, int number) {
        const std::string out = dir_ + "/contents";
        if (!KD5200_Upload(nullptr, Handle(), memory, number, out.c_str(), nullptr, 0, 0))
            return "<failed " + std::to_string(KD5200_GetError()) + ">";
        return ReadFile(out);
    }
};

// The contents of crash-test file number n.
std::string CrashFile(int n) {
    return Pattern(static_cast<size_t>((n * 7919) % 90000), static_cast<unsigned>(n));
}

TEST_F(CrashTest, KilledDuringChangesLeavesAConsistentPlayer) {
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
            // Downloads, deletes, renames (fN and gN) and moves until killed.
            KD5200_HANDLE handle = nullptr;
            if (!KD5200_Open(&handle)) _exit(2);
            std::vector<KD5200_DIRENTRY> entries(KD5200_MAX_ENTRIES);
            for (int n = first;; ++n) {
                const int memory = n % 2;
                const std::string path = pc_ + "/f" + std::to_string(n);
                kdtest::WriteFile(path, CrashFile(n));
                if (!KD5200_Download(nullptr, handle, memory, path.c_str())) {
                    KD5200_Delete(nullptr, handle, memory, 0, nullptr);
                }
                unlink(path.c_str());
                KD5200_MEMINFO info{};
                int32_t count = KD5200_MAX_ENTRIES;
                if (KD5200_Refresh(handle, memory, &info, entries.data(), &count) && count >= 2) {
                    std::string name = entries[0].longName;
                    name[0] = name[0] == 'f' ? 'g' : 'f';
                    KD5200_Rename(handle, memory, 0, name.c_str(), &entries[0]);
                    KD5200_Replace(handle, memory, 0, 1);
                }
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
                ASSERT_TRUE(name[0] == 'f' || name[0] == 'g') << name;
                ASSERT_EQ(Contents(memory, static_cast<int>(i)),
                          CrashFile(std::stoi(name.substr(1))))
                    << name;
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

TEST_F(CrashTest, TwoProcessesShareOnePlayer) {
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
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(Contents(0, static_cast<int>(i)),
                  CrashFile(std::stoi(std::string(entries[i].longName).substr(1))));
}

TEST_F(CrashTest, LowFormatKeepsOtherWritersOutUntilItsBlocksAreZeroed) {
    ASSERT_TRUE(Download(0, PcFile("old.bin", Pattern(300000, 1))));
    CloseHandle();
    // A second process runs a low format and stops at its last progress
    // report until released.
    int held[2], release[2];
    ASSERT_EQ(pipe(held), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        static int pipes[2] = {held[1], release[0]};
        KD5200X_SetProgressHook(
            [](KD5200_HWND, const char*, int64_t done, int64_t total, void* user) -> int32_t {
                const int* fds = static_cast<int*>(user);
                char c = 1;
                if (done == total && write(fds[0], &c, 1) == 1) (void)!read(fds[1], &c, 1);
                return 0;
            },
            pipes);
        KD5200_HANDLE handle = nullptr;
        if (!KD5200_Open(&handle)) _exit(2);
        _exit(KD5200_FormatLow(nullptr, handle, 0) ? 0 : 3);
    }
    char c = 0;
    ASSERT_EQ(read(held[0], &c, 1), 1);

    // Another writer waits no longer than an answer would, and says why.
    const std::string data = Pattern(200000, 2);
    ASSERT_NE(KD5200_SetTimeout(300, 300), 0);
    const auto start = std::chrono::steady_clock::now();
    ExpectError(Download(0, PcFile("new.bin", data)), KD5200_ERR_BUSY);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_STREQ(kd5200::ErrorMessage(KD5200_ERR_BUSY), "The player is busy with another program");
    EXPECT_EQ(Refresh(0).size(), 0u); // readers go on meanwhile

    ASSERT_EQ(write(release[1], &c, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (int fd : {held[0], held[1], release[0], release[1]})
        close(fd);
    // The file written after the format keeps its contents.
    ASSERT_TRUE(Download(0, pc_ + "/new.bin")) << KD5200_GetError();
    EXPECT_EQ(Contents(0, 0), data);
}

// An open handle keeps its lock file between changes; once that file is
// removed and another writer holds the file now at its name, the handle
// waits for that writer instead of locking the removed file.
TEST_F(CrashTest, AHandleTakesTheLockOfTheFileNowAtItsName) {
    ASSERT_TRUE(Download(0, PcFile("one.bin", Pattern(1000, 1))));
    const std::string lock = folder_ + "/player.lock";
    ASSERT_EQ(unlink(lock.c_str()), 0);
    const int other = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    ASSERT_NE(KD5200_SetTimeout(300, 300), 0);
    ExpectError(Download(0, PcFile("two.bin", Pattern(1000, 2))), KD5200_ERR_BUSY);
    close(other);
    ASSERT_TRUE(Download(0, pc_ + "/two.bin")) << KD5200_GetError();
    EXPECT_EQ(Refresh(0).size(), 2u);
}

TEST_F(CrashTest, PullingThePlayerOutEndsATransfer) {
    const std::string data = Pattern(3 << 19, 4); // two chunks
    ASSERT_TRUE(Download(0, PcFile("kept.bin", data)));
    KD5200_MEMINFO before{};
    Refresh(0, before);
    // Pulled out and plugged in again between two chunks: the transfer ends
    // all the same, though the player is there at the next chunk.
    static bool replugged;
    replugged = false;
    KD5200X_SetProgressHook(
        [](KD5200_HWND, const char*, int64_t done, int64_t, void* user) -> int32_t {
            if (done == 0 || replugged) return 0;
            replugged = true;
            kd5200::SetAttached(*static_cast<std::string*>(user), false);
            kd5200::SetAttached(*static_cast<std::string*>(user), true);
            return 0;
        },
        &folder_);
    ExpectError(Download(0, PcFile("lost.bin", data)), KD5200_ERR_REPLUGGED);
    EXPECT_TRUE(replugged);
    CloseHandle();
    KD5200X_SetProgressHook(
        [](KD5200_HWND, const char*, int64_t done, int64_t, void* user) -> int32_t {
            if (done > 0) kd5200::SetAttached(*static_cast<std::string*>(user), false);
            return 0;
        },
        &folder_);
    ExpectError(Download(0, PcFile("lost.bin", data)), KD5200_ERR_NOT_ATTACHED);
    // Plugged in again, the player needs a new handle, as a USB device does.
    ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok());
    ExpectError(Download(0, pc_ + "/lost.bin"), KD5200_ERR_REPLUGGED);
    CloseHandle();
    const std::string outFolder = dir_ + "/out";
    std::filesystem::create_directories(outFolder);
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, (outFolder + "/kept.bin").c_str(), nullptr,
                              3 << 19, 0),
                KD5200_ERR_NOT_ATTACHED);
    ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok());
    CloseHandle();
    KD5200X_SetProgressHook(nullptr, nullptr);

    // Nothing half-written on either side.
    KD5200_MEMINFO after{};
    EXPECT_EQ(Refresh(0, after).size(), 1u);
    EXPECT_EQ(after.usedBlocks, before.usedBlocks);
    EXPECT_TRUE(std::filesystem::is_empty(outFolder));
    EXPECT_EQ(Contents(0, 0), data);
}

TEST_F(CrashTest, CreateLeavesTheOldPlayerOrTheNewOne) {
    const std::string old = Pattern(100000, 7);
    auto makeOld = [&] {
        CreatePlayer(256, 64);
        ASSERT_TRUE(Download(0, PcFile("old.bin", old)));
        CloseHandle();
    };
    // Which player the folder holds: "old", "new" or what is wrong.
    auto which = [&]() -> std::string {
        kd5200::SetAttached(folder_, true);
        KD5200_MEMINFO info{};
        std::vector<KD5200_DIRENTRY> entries(KD5200_MAX_ENTRIES);
        int32_t count = KD5200_MAX_ENTRIES;
        std::string state;
        if (!KD5200_Refresh(Handle(), 0, &info, entries.data(), &count))
            state = "unreadable (" + std::to_string(KD5200_GetError()) + ")";
        else if (info.capacityBlocks == 256 && count == 1 && Contents(0, 0) == old)
            state = "old";
        else if (info.capacityBlocks == 64 && count == 0)
            state = "new";
        else
            state = "mixed: " + std::to_string(info.capacityBlocks) + " blocks, " +
                    std::to_string(count) + " files";
        CloseHandle();
        return state;
    };
    const std::string sim = std::string(SD_BIN_DIR) + "/kd5200sim";
    const std::vector<std::string> environment = {"KD5200_PLAYER_DIR=" + folder_};

    // A create that fails part-way (an image it cannot open) changes nothing.
    makeOld();
    const std::string external = kd5200::Store::ImagePath(folder_, 1);
    std::filesystem::remove(external);
    std::filesystem::create_directory(external);
    EXPECT_EQ(sdtest::RunProgram(sim, {"create", "--internal", "1M", "--external", "1M"}, dir_, "",
                                 environment)
                  .status,
              1);
    EXPECT_EQ(which(), "old");
    std::filesystem::remove(external);

    // A create killed at any moment leaves one player or the other.
    std::mt19937 random(7);
    int killed = 0;
    for (int round = 0; round < 25; ++round) {
        makeOld();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("KD5200_PLAYER_DIR", folder_.c_str(), 1);
            execl(sim.c_str(), sim.c_str(), "create", "--internal", "1M", "--external", "none",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 15000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        killed += WIFSIGNALED(status);
        const std::string state = which();
        EXPECT_TRUE(state == "old" || state == "new") << "round " << round << ": " << state;
    }
    EXPECT_GT(killed, 0);
}

} // namespace
