// kd5200sim end to end: its commands, outputs and exit statuses, and the
// library seeing what it did.
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "player_fixture.h"

namespace {

using kdtest::Pattern;
using kdtest::ReadFile;

struct SimRun {
    int status;
    std::string output; // standard output and error
};

class SimTest : public kdtest::PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        std::filesystem::remove_all(folder_); // kd5200sim makes its own
    }

    // Runs kd5200sim with arguments; prefix goes before the program (a time limit).
    SimRun Sim(const std::string& arguments, const std::string& prefix = "") {
        const std::string command =
            prefix + std::string(SD_BIN_DIR) + "/kd5200sim " + arguments + " 2>&1";
        SimRun run{-1, {}};
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            run.output.append(buffer, n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }
};

TEST_F(SimTest, CreatePlugListPutGet) {
    SimRun r = Sim("status");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("no player in " + folder_), std::string::npos) << r.output;

    r = Sim("create --internal 1M --external none");
    ASSERT_EQ(r.status, 0) << r.output;
    r = Sim("status");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("state: unplugged"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("internal memory: 0 files, 0 of 64 blocks used"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("external memory: absent"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("1.0 SIM"), std::string::npos) << r.output;
    EXPECT_EQ(KD5200_TestConnection(), 0);

    ASSERT_EQ(Sim("plug").status, 0);
    EXPECT_NE(KD5200_TestConnection(), 0);

    const std::string song = PcFile("My Song.mp3", Pattern(40000, 1));
    r = Sim("put internal '" + song + "' " + PcFile("NOTE.TXT", "note"));
    ASSERT_EQ(r.status, 0) << r.output;
    r = Sim("ls internal");
    EXPECT_EQ(r.output, "internal memory: 2 files, 4 of 64 blocks used (1.0 MiB)\n"
                        "0\tMYSONG~1.MP3\tMy Song.mp3\t40000\n"
                        "1\tNOTE.TXT\t\t4\n");
    // The library sees the files kd5200sim stored, and the other way round.
    EXPECT_EQ(Refresh(0).size(), 2u);
    ASSERT_TRUE(Download(0, PcFile("third.bin", "3")));
    EXPECT_NE(Sim("ls").output.find("2\tTHIRD.BIN\tthird.bin\t1\n"), std::string::npos);

    const std::string out = dir_ + "/got.mp3";
    ASSERT_EQ(Sim("get internal 0 " + out).status, 0);
    EXPECT_EQ(ReadFile(out), Pattern(40000, 1));

    r = Sim("get internal 7 " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "kd5200sim: internal file 7: No such file on the player\n");
    r = Sim("put internal " + pc_ + "/missing.mp3");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "kd5200sim: " + pc_ + "/missing.mp3: The file does not exist\n");
    r = Sim("put external '" + song + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("not present"), std::string::npos) << r.output;

    ASSERT_EQ(Sim("unplug").status, 0);
    EXPECT_EQ(KD5200_TestConnection(), 0);
}

TEST_F(SimTest, FirmwareFontAndDemo) {
    ASSERT_EQ(Sim("create --demo --firmware-version 'ZENTROVIA KD5200 FILE SYSTEM JAN 01 2026 "
                  "09:00:00 2.4 SIM'")
                  .status,
              0);
    // The demo's files and its two recordings, as --help promises.
    SimRun r = Sim("ls internal");
    for (const char* name : {"Demo Song.mp3", "REC01.QKA", "VOICE001.QDX"})
        EXPECT_NE(r.output.find(name), std::string::npos) << name << " in " << r.output;
    EXPECT_NE(Sim("--help").output.find("--demo puts a few small files and two voice recordings"),
              std::string::npos);
    EXPECT_EQ(Sim("firmware application " + dir_ + "/app.img").status, 1);
    EXPECT_EQ(Sim("font").output, "no LCD font\n");

    ASSERT_EQ(Sim("plug").status, 0);
    const std::string image = PcFile("code.img", Pattern(5000, 2));
    ASSERT_NE(KD5200_UpgradeFirmware(nullptr, Handle(), 0, 0, image.c_str(), image.c_str()), 0);
    ASSERT_NE(KD5200_DownloadFont(nullptr, Handle(), PcFile("LCD.FOT", Pattern(1234, 3)).c_str()),
              0);
    EXPECT_NE(std::string(KD5200_GetFirmwareVersionString()).find(" 2.5 SIM"), std::string::npos);

    ASSERT_EQ(Sim("firmware application " + dir_ + "/app.img").status, 0);
    EXPECT_EQ(ReadFile(dir_ + "/app.img"), Pattern(5000, 2));
    EXPECT_EQ(Sim("font").output, "LCD.FOT\t1234\n");
    EXPECT_NE(Sim("status").output.find("application image: 5000 bytes, ROM selection 0"),
              std::string::npos);
}

TEST_F(SimTest, OutputsInputsAndDamagedParts) {
    ASSERT_EQ(Sim("create --internal 1M --external 1M").status, 0);
    const std::string data = Pattern(30000, 5);
    ASSERT_EQ(Sim("put internal " + PcFile("song.mp3", data)).status, 0);
    const std::string image = kd5200::Store::ImagePath(folder_, 0);
    const std::string imageBefore = ReadFile(image);

    // The player's own storage is never an output, not even through a link.
    std::filesystem::create_symlink(image, dir_ + "/link");
    for (const std::string& out :
         {image, folder_ + "/player.db", folder_ + "/new.bin", dir_ + "/link"}) {
        const SimRun r = Sim("get internal 0 " + out);
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(r.output,
                  "kd5200sim: " + out + ": The file lies inside the player's own storage\n");
    }
    EXPECT_EQ(ReadFile(image), imageBefore);
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/new.bin"));
    EXPECT_EQ(Sim("ls internal").status, 0);

    // A link keeps naming its file, which gets the data; a FIFO is written into.
    kdtest::WriteFile(dir_ + "/real.bin", "old");
    std::filesystem::create_symlink("real.bin", dir_ + "/alias");
    ASSERT_EQ(Sim("get internal 0 " + dir_ + "/alias").status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ + "/alias"));
    EXPECT_EQ(ReadFile(dir_ + "/real.bin"), data);
    // As with cp, a replaced file keeps its mode, and a read-only one is
    // refused (even for root).
    ASSERT_EQ(chmod((dir_ + "/real.bin").c_str(), 0600), 0);
    kdtest::WriteFile(dir_ + "/real.bin", "old");
    ASSERT_EQ(Sim("get internal 0 " + dir_ + "/alias").status, 0);
    EXPECT_EQ(ReadFile(dir_ + "/real.bin"), data);
    struct stat st {};
    ASSERT_EQ(stat((dir_ + "/real.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    const std::string readOnly = PcFile("read-only.bin", "keep");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    SimRun refused = Sim("get internal 0 " + readOnly);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output,
              "kd5200sim: " + readOnly + ": The file cannot be written: Permission denied\n");
    EXPECT_TRUE(ReadFile(readOnly) == "keep") << "the read-only file was replaced";
    ASSERT_EQ(stat(readOnly.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    const std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(Sim("get internal 0 " + fifo).status, 0);
    std::string piped(65536, '\0');
    const ssize_t n = read(reader, piped.data(), piped.size());
    piped.resize(n > 0 ? static_cast<size_t>(n) : 0);
    EXPECT_EQ(piped, data);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    // put refuses a FIFO at once instead of waiting for a writer.
    SimRun r = Sim("put internal " + fifo, "timeout 20 ");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "kd5200sim: " + fifo + ": The file is not a regular file\n");
    close(reader);

    // Output that cannot be written is a failure.
    EXPECT_EQ(Sim("ls >/dev/full").status, 1);
    EXPECT_EQ(Sim("status >/dev/full").status, 1);

    // A damaged memory is reported; the other parts are still shown.
    std::filesystem::resize_file(image, 16384);
    r = Sim("status");
    EXPECT_EQ(r.status, 1);
    for (const char* line : {"kd5200sim: internal memory: The player's directory cannot be read\n",
                             "external memory: 0 files, 0 of 64 blocks used", "font: none\n",
                             "application image: none\n", "boot image: none\n"})
        EXPECT_NE(r.output.find(line), std::string::npos) << line << " in:\n" << r.output;
}

TEST_F(SimTest, CommandLineErrors) {
    SimRun r = Sim("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output.rfind("Usage: kd5200sim COMMAND", 0), 0u);
    for (const char* bad : {"", "frobnicate", "create --internal 10Q", "create --internal 1K",
                            "create --external", "create --firmware-version ''", "ls both",
                            "get internal x out", "firmware nothing out", "plug now"}) {
        r = Sim(bad);
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_EQ(r.output.rfind("kd5200sim: ", 0), 0u) << bad << ": " << r.output;
    }
    ASSERT_EQ(Sim("create --internal 2G --external 512K").status, 0);
    EXPECT_NE(Sim("status").output.find("of 131072 blocks"), std::string::npos);
    EXPECT_NE(Sim("status").output.find("of 32 blocks"), std::string::npos);
    ASSERT_EQ(Sim("plug").status, 0);
    ASSERT_EQ(Sim("put external " + PcFile("one.txt", "1")).status, 0);
    EXPECT_NE(Sim("ls external").output.find("external memory: 1 file, 1 of 32 blocks used"),
              std::string::npos);
}

} // namespace
