// kd5200sim end to end: its commands, outputs and exit statuses, and the
// library seeing what it did.
#include <cstdio>
#include <sys/wait.h>

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

    SimRun Sim(const std::string& arguments) {
        const std::string command = std::string(SD_BIN_DIR) + "/kd5200sim " + arguments + " 2>&1";
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
    EXPECT_EQ(r.output, "kd5200sim: " + pc_ +
                            "/missing.mp3: The file does not exist: No such file or directory\n");
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
    SimRun r = Sim("ls internal");
    EXPECT_NE(r.output.find("Demo Song.mp3"), std::string::npos) << r.output;
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
}

} // namespace
