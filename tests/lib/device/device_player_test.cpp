// The device layer on the virtual player: a player folder made with
// kd5200sim, the real device library loaded by DevInit.
#include "lib/device/device_layer.h"
#include "lib/device/device_compare.h"
#include "lib/device/device_replace.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "device_test_support.h"
#include "lib/settings/settings_store.h"
#include "base/resources/strings.h"
#include "voice_data.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include "run_program.h"
#include "views/player/copy_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

using testing::ElementsAre;

namespace {

struct Listed {
    std::string name;
    int32_t number;
    uint32_t size;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> List(int memory) {
    HDirEntryList list;
    std::vector<Listed> out;
    if (!DevListFiles(memory, list, false)) return out;
    for (const auto& e : list)
        out.push_back({e.name.value_or("<null>"), e.number, e.size});
    return out;
}

class DevicePlayer : public testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        setenv("KD5200_PLAYER_DIR", player_.path().c_str(), 1);
        setenv("KD5200USB_LIBRARY", SD_KD5200USB_PATH, 1);
        unsetenv("KD5200_SPEED");
        unsetenv("KD5200_FAULTS");
        Sim("create");
        Sim("plug");
        DevInit();
        ASSERT_TRUE(DevLibraryLoaded()) << DevLibraryError();
    }
    void TearDown() override {
        unsetenv("KD5200_FAULTS");
        DevSetProgressHandler(nullptr);
        DevExit();
        unsetenv("KD5200USB_LIBRARY");
        unsetenv("KD5200_PLAYER_DIR");
    }

    static void Sim(const std::string& arguments) {
        const std::string command = sdtest::ShellQuote(std::string(SD_BIN_DIR) + "/kd5200sim") +
                                    " " + arguments + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    void Connect(int expectedMask = 3) {
        int count = 0, mask = 0;
        ASSERT_TRUE(DevConnect(true, &count, &mask));
        EXPECT_EQ(count, 2);
        EXPECT_EQ(mask, expectedMask);
    }
    // Writes PC files into the source folder and downloads them to memory.
    int Download(int memory, const std::vector<std::pair<std::string, std::string>>& files) {
        HNameList list;
        for (const auto& [name, contents] : files) {
            devtest::WriteFile(source_ / name, contents);
            list.Add((source_ / name).c_str(), 0, 0);
        }
        return DevDownloadFiles(nullptr, memory, list, player::CopyOptions()).code;
    }
    // The names in a folder.
    static std::set<std::string> Names(const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    // Runs copy in a child process that is killed with SIGKILL once its copy
    // is being read back.
    static void KillWhileCheckingIn(const std::function<void()>& copy) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            DevSetProgressHandler([fd = ready[1]](KD5200_HWND, const char*,
                                                  device::ProgressPhase phase, int64_t, int64_t) {
                if (phase != device::ProgressPhase::kCheck) return false;
                if (write(fd, "x", 1) == 1)
                    for (;;) pause();
                return true;
            });
            copy();
            _exit(0);
        }
        close(ready[1]);
        char byte = 0;
        const bool reached = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(reached) << "the copy was never read back";
    }
    int Upload(int memory, const std::vector<Listed>& entries) {
        HNameList list;
        for (const Listed& e : entries)
            list.Add(e.name.c_str(), e.number, e.size);
        return DevUploadFiles(nullptr, memory, target_.path().c_str(), list, player::CopyOptions())
            .code;
    }

    devtest::TempDir config_;
    devtest::TempDir player_;
    devtest::TempDir source_;
    devtest::TempDir target_;
    devtest::ScriptedBoxes boxes_;
};

TEST_F(DevicePlayer, FilesTravelBothWaysUnchanged) {
    Connect();
    const std::string big(3 * KD5200_BLOCK_SIZE + 5, 'x');
    ASSERT_EQ(Download(0, {{"first song.mp3", "abc"}, {"b.mp3", big}}), 0);
    EXPECT_TRUE(DevIsStale(0));
    const auto listed = List(0);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, "first song.mp3");
    EXPECT_EQ(listed[0].size, 3u);
    EXPECT_EQ(listed[1].size, big.size());
    EXPECT_EQ(DevGetFileCount(0), 2);

    uint64_t capacity = 0, free = 0;
    ASSERT_TRUE(DevGetMemorySpace(0, &capacity, &free));
    EXPECT_EQ(capacity, uint64_t{DevGetCapacityBlocks(0)} << 14);
    EXPECT_EQ(capacity - free, uint64_t{5} * KD5200_BLOCK_SIZE);

    ASSERT_EQ(Upload(0, listed), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "first song.mp3"), "abc");
    EXPECT_EQ(devtest::ReadFile(target_ / "b.mp3"), big);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(DevicePlayer, FilesOf2GiBTravelBothWays) {
    Sim("create --internal 2049M --external none");
    Sim("plug");
    Connect(1);
    // A sparse file of 2 GiB with data at its ends only: no gigabytes written.
    const uint64_t size = uint64_t{1} << 31;
    const std::string path = source_ / "big.bin";
    {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(pwrite(fd, "tail", 4, static_cast<off_t>(size - 4)), 4);
        close(fd);
    }
    HNameList list;
    list.Add(path.c_str(), 0, 0);
    ASSERT_EQ(DevDownloadFiles(nullptr, 0, list, player::CopyOptions()).code, 0);
    const auto listed = List(0);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].size, size);

    ASSERT_EQ(Upload(0, listed), 0);
    const std::string back = target_ / "big.bin";
    struct stat st {};
    ASSERT_EQ(stat(back.c_str(), &st), 0);
    EXPECT_EQ(static_cast<uint64_t>(st.st_size), size);
    EXPECT_LT(st.st_blocks * 512, 1 << 20) << "holes stay holes";
    const int fd = open(back.c_str(), O_RDONLY);
    char head[4] = {}, tail[4] = {};
    EXPECT_EQ(pread(fd, head, 4, 0), 4);
    EXPECT_EQ(pread(fd, tail, 4, static_cast<off_t>(size - 4)), 4);
    close(fd);
    EXPECT_EQ(std::string(head, 4), "head");
    EXPECT_EQ(std::string(tail, 4), "tail");
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(DevicePlayer, NamesThatAreNotUtf8KeepTheirBytesBothWays) {
    Connect();
    // A PC folder and file named in Latin-1, as old media and archives have them.
    std::filesystem::create_directory(source_ / "M\xfasica");
    ASSERT_EQ(Download(0, {{"M\xfasica/can\xe7\xe3o.mp3", "song"}}), 0);
    const auto listed = List(0);
    ASSERT_EQ(listed.size(), 1u);

    const std::string folder = target_ / "M\xfasica";
    std::filesystem::create_directory(folder);
    HNameList list;
    list.Add(listed[0].name.c_str(), listed[0].number, static_cast<uint32_t>(listed[0].size));
    ASSERT_EQ(DevUploadFiles(nullptr, 0, folder.c_str(), list, player::CopyOptions()).code, 0);
    const std::string file = folder + "/" + listed[0].name;
    EXPECT_EQ(devtest::ReadFile(file), "song");

    // Asked again, the overwrite question names the file by its bytes.
    boxes_.answers = {platform::kIdNo};
    ASSERT_EQ(DevUploadFiles(nullptr, 0, folder.c_str(), list, player::CopyOptions()).code, 0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].caption, file);
}

TEST_F(DevicePlayer, OverwriteAnswersDecideOverExistingFiles) {
    Connect();
    ASSERT_EQ(Download(0, {{"a.mp3", "new a"}, {"b.mp3", "new b"}}), 0);
    devtest::WriteFile(target_ / "a.mp3", "old a");
    devtest::WriteFile(target_ / "b.mp3", "old b");
    boxes_.answers = {platform::kIdNo, platform::kIdYes};
    ASSERT_EQ(Upload(0, List(0)), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), "old a");
    EXPECT_EQ(devtest::ReadFile(target_ / "b.mp3"), "new b");

    boxes_.answers = {platform::kIdCancel};
    devtest::WriteFile(target_ / "b.mp3", "old b");
    ASSERT_EQ(Upload(0, List(0)), KD5200_ERR_CANCELLED);
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), "old a");
    EXPECT_EQ(devtest::ReadFile(target_ / "b.mp3"), "old b");
    EXPECT_EQ(boxes_.shown.size(), 3u);
}

// A copy to the PC addresses player files by number. While the overwrite
// question is open another program may delete a file, so that a later one
// takes its number: each file is checked just before its own copy, and one
// that changed is not copied, named, and ends the transfer.
TEST_F(DevicePlayer, EachFileIsCheckedJustBeforeItsCopyToThePc) {
    Connect();
    ASSERT_EQ(Download(0, {{"song.mp3", "song"}, {"README.TXT", "readme"},
                           {"Notes for the trip.txt", std::string(45, 'n')}}),
              0);
    const auto asked = List(0);
    const auto deleteReadme = [] {
        ASSERT_TRUE(DevApi().Delete(nullptr, DevGetHandle(), 0, 1, "README.TXT"));
    };
    // Yes to All on the first file's question: the first is copied, the
    // moved one is not, and the PC's README.TXT keeps its bytes.
    devtest::WriteFile(target_ / "song.mp3", "old song");
    devtest::WriteFile(target_ / "README.TXT", "old readme");
    boxes_.answers = {platform::kIdYesToAll};
    boxes_.whileOpen = deleteReadme;
    EXPECT_NE(Upload(0, {asked[0], asked[1]}), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "song.mp3"), "song");
    EXPECT_EQ(devtest::ReadFile(target_ / "README.TXT"), "old readme");
    EXPECT_EQ(DevGetFilesCopied(), 1);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, "This file changed on the player before it was copied; it "
                                    "was not copied, and the transfer stopped.");
    EXPECT_EQ(boxes_.shown[1].secondary, "README.TXT");

    // Plain Yes, with no README.TXT on the PC: none is made from the file
    // that took its number.
    ASSERT_EQ(Download(0, {{"README.TXT", "readme"}, {"z.txt", "zzz"}}), 0);
    std::filesystem::remove(target_ / "README.TXT");
    const auto again = List(0);
    ASSERT_EQ(again[2].name, "README.TXT");
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdYes};
    boxes_.whileOpen = [] {
        ASSERT_TRUE(DevApi().Delete(nullptr, DevGetHandle(), 0, 1, "Notes for the trip.txt"));
    };
    EXPECT_NE(Upload(0, {again[0], again[2]}), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "song.mp3"), "song");
    EXPECT_FALSE(std::filesystem::exists(target_ / "README.TXT"));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].secondary, "README.TXT");

    // Unplugged while the question is open: said so, and nothing is copied.
    const auto last = List(0);
    ASSERT_EQ(last[0].name, "song.mp3");
    devtest::WriteFile(target_ / "song.mp3", "old song");
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdYes};
    boxes_.whileOpen = [] { Sim("unplug"); };
    EXPECT_NE(Upload(0, {last[0]}), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "song.mp3"), "old song");
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text,
              "The player was unplugged while the question was open; nothing was done.");
    EXPECT_EQ(boxes_.shown[1].secondary, "song.mp3");
}

TEST_F(DevicePlayer, DeleteMoveAndRenameChangeTheDirectory) {
    Connect();
    ASSERT_EQ(Download(1, {{"a.mp3", "1"}, {"b.mp3", "22"}, {"c.mp3", "333"}}), 0);
    ASSERT_EQ(List(1).size(), 3u);
    EXPECT_EQ(DevDeleteFile(nullptr, 1, 0, "a.mp3"), 0);
    EXPECT_THAT(List(1), ElementsAre(Listed{"b.mp3", 0, 2}, Listed{"c.mp3", 1, 3}));
    EXPECT_EQ(DevMoveEntry(1, 1, 0), 1);
    EXPECT_THAT(List(1), ElementsAre(Listed{"c.mp3", 0, 3}, Listed{"b.mp3", 1, 2}));
    EXPECT_EQ(DevRenameEntry(1, 1, "renamed.mp3"), 1);
    EXPECT_THAT(List(1), ElementsAre(Listed{"c.mp3", 0, 3}, Listed{"renamed.mp3", 1, 2}));
    EXPECT_TRUE(boxes_.shown.empty());

    // A failure of the library still gives 1, and its message appears as a box.
    EXPECT_EQ(DevMoveEntry(1, 1, 5), 1);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_FALSE(boxes_.shown[0].text.empty());
    EXPECT_EQ(boxes_.shown[0].style, platform::kMbOk | platform::kMbIconWarning);
}

TEST_F(DevicePlayer, FormatsEmptyTheMemoryAndRestoreTheTimeouts) {
    DevSetTimeouts(1234, 2345, 345678);
    Connect();
    ASSERT_EQ(Download(0, {{"a.mp3", "1"}, {"b.mp3", "2"}}), 0);
    ASSERT_EQ(List(0).size(), 2u);
    EXPECT_EQ(DevFormat(nullptr, 0), 0);
    EXPECT_TRUE(List(0).empty());
    ASSERT_EQ(Download(0, {{"c.mp3", "3"}}), 0);
    EXPECT_EQ(DevFormatLow(nullptr, 0), 0);
    EXPECT_TRUE(List(0).empty());
    uint64_t capacity = 0, free = 0;
    ASSERT_TRUE(DevGetMemorySpace(0, &capacity, &free));
    EXPECT_EQ(capacity, free);
    EXPECT_EQ(DevGetTimeouts().receive, 1234);
}

TEST_F(DevicePlayer, AbsentExternalMemoryHasNoListing) {
    DevExit();
    Sim("create --external none");
    Sim("plug");
    DevInit();
    Connect(1);
    EXPECT_EQ(DevGetFileCount(1), 0);
    EXPECT_EQ(DevGetCapacityBlocks(1), 0u);
    uint64_t capacity = 0, free = 0;
    EXPECT_FALSE(DevGetMemorySpace(1, &capacity, &free));
    HDirEntryList list;
    EXPECT_FALSE(DevListFiles(1, list, true));
    HNameList files;
    files.Add((source_ / "x.mp3").c_str(), 0, 0);
    EXPECT_EQ(DevDownloadFiles(nullptr, 1, files, player::CopyOptions()).code, 12);
}

TEST_F(DevicePlayer, UnplugClosesAndPlugReopens) {
    Connect();
    ASSERT_NE(DevGetHandle(), nullptr);
    ASSERT_NE(DevGetFirmwareVersion(), nullptr);
    Sim("unplug");
    int count = 0, mask = 0;
    EXPECT_FALSE(DevConnect(true, &count, &mask));
    EXPECT_EQ(DevGetHandle(), nullptr);
    HNameList list;
    list.Add("a.mp3", 0, 1);
    EXPECT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), list, player::CopyOptions()).code,
              3);
    Sim("plug");
    Connect();
    EXPECT_NE(DevGetHandle(), nullptr);

    // A quick unplug and plug: the old handle fails (an entry number of the
    // old listing renames nothing) until the next connect opens the player
    // again and reads the memories anew.
    ASSERT_EQ(Download(0, {{"a.mp3", "a"}}), 0);
    const int64_t generation = DevGetPlugGeneration();
    EXPECT_GE(generation, 0);
    Sim("unplug");
    Sim("plug");
    EXPECT_NE(DevGetPlugGeneration(), generation);
    devtest::WriteFile(source_ / "b.mp3", "bb");
    Sim("put internal " + sdtest::ShellQuote(source_ / "b.mp3"));
    boxes_.shown.clear();
    EXPECT_EQ(DevRenameEntry(0, 0, "renamed.mp3"), 1);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "KD5200: The player was unplugged since it was opened");
    count = mask = 0;
    EXPECT_TRUE(DevConnect(true, &count, &mask));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(mask, 3);
    EXPECT_THAT(List(0), ElementsAre(Listed{"a.mp3", 0, 1}, Listed{"b.mp3", 1, 2}));

    // A listing read anew (the check before a command) opens the player
    // again too, and commands after it reach the entries it lists.
    Sim("unplug");
    Sim("plug");
    HDirEntryList fresh;
    EXPECT_TRUE(DevListFiles(0, fresh, true));
    EXPECT_EQ(fresh.GetCount(), 2u);
    EXPECT_EQ(DevRenameEntry(0, 1, "c.mp3"), 1);
    EXPECT_THAT(List(0), ElementsAre(Listed{"a.mp3", 0, 1}, Listed{"c.mp3", 1, 2}));
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(DevicePlayer, ChangeNotifierWakesOnUnplug) {
    const int fd = DevGetChangeNotifier();
    ASSERT_GE(fd, 0);
    char drain[64];
    while (read(fd, drain, sizeof drain) > 0) {
    }
    Sim("unplug");
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 5000), 1);
}

TEST_F(DevicePlayer, FailedDownloadIsShownOnceNamesTheFileAndStopsTheTransfer) {
    Connect();
    // A dangling link and a FIFO among the files: each stops the transfer
    // with a message that names it and says what is wrong.
    const std::string link = source_ / "gone.mp3", fifo = source_ / "pipe.mp3";
    ASSERT_EQ(symlink("nowhere.mp3", link.c_str()), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    devtest::WriteFile(source_ / "present.mp3", "p");
    for (const auto& [bad, text] :
         {std::pair{link, ": The file does not exist"},
          std::pair{fifo, ": The file is not a regular file"}}) {
        boxes_.shown.clear();
        HNameList list;
        list.Add(bad.c_str(), 0, 0);
        list.Add((source_ / "present.mp3").c_str(), 0, 0);
        EXPECT_NE(DevDownloadFiles(nullptr, 0, list, player::CopyOptions()).code, 0);
        EXPECT_TRUE(List(0).empty());
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, "KD5200: " + bad + text);
    }
}

TEST_F(DevicePlayer, ProgressCancelGivesCodeFourteenWithoutMessage) {
    Connect();
    bool asked = false;
    DevSetProgressHandler([&](KD5200_HWND, const char*, device::ProgressPhase, int64_t, int64_t) {
        asked = true;
        return true;
    });
    const std::string big(64 * KD5200_BLOCK_SIZE, 'y');
    EXPECT_EQ(Download(0, {{"big.mp3", big}}), 14);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(boxes_.shown.empty());
    DevSetProgressHandler(nullptr);
    EXPECT_TRUE(List(0).empty());
}

TEST_F(DevicePlayer, RecordingsKeepTheirNameWhenConversionIsOff) {
    settings::WriteAdpcmConvert(1);
    settings::WriteQdxConvert(1);
    Connect();
    ASSERT_EQ(Download(0, {{"REC01.QKA", "qka bytes"}, {"VOICE.QDX", "qdx bytes"}}), 0);
    ASSERT_EQ(Upload(0, List(0)), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "REC01.QKA"), "qka bytes");
    EXPECT_EQ(devtest::ReadFile(target_ / "VOICE.QDX"), "qdx bytes");
}

TEST_F(DevicePlayer, RecordingsBecomeWavFilesWhenConversionIsOn) {
    Connect();
    ASSERT_TRUE(voicedata::MakeQkaRecording(source_ / "REC01.QKA", 1.0));
    ASSERT_TRUE(voicedata::MakeQdxRecording(source_ / "voice.qdx", 1, true, 1.0));
    HNameList files;
    files.Add((source_ / "REC01.QKA").c_str(), 0, 0);
    files.Add((source_ / "voice.qdx").c_str(), 0, 0);
    ASSERT_EQ(DevDownloadFiles(nullptr, 0, files, player::CopyOptions()).code, 0);
    ASSERT_EQ(Upload(0, List(0)), 0) << (boxes_.shown.empty() ? "" : boxes_.shown[0].text);
    for (const char* name : {"REC01.WAV", "voice.WAV"}) {
        SCOPED_TRACE(name);
        const std::string wav = devtest::ReadFile(target_ / name);
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 4), "WAVE");
    }
    EXPECT_FALSE(std::filesystem::exists(target_ / "REC01.QKA"));
    EXPECT_FALSE(std::filesystem::exists(target_ / "voice.qdx"));
}

// With "Verify files after copying" on, a bit the player flips is caught in
// each direction: the message names the file, the bad copy is gone and the
// files after it are not copied. A converting copy checks its raw copy and
// writes no WAV file from a bad one.
TEST_F(DevicePlayer, VerifiedCopiesCatchAFlippedBit) {
    settings::WriteVerifyCopies(true);
    Connect();
    const std::string first(KD5200_BLOCK_SIZE + 7, 'a'), second = "second";
    setenv("KD5200_FAULTS", "flip:1", 1);
    EXPECT_EQ(Download(0, {{"a.mp3", first}, {"b.mp3", second}}), KD5200_ERR_STORAGE);
    EXPECT_TRUE(List(0).empty());
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, text::kVerifyFailed);
    EXPECT_EQ(boxes_.shown[0].secondary, source_ / "a.mp3");

    // Player to PC: the first file written to the PC is the bad one.
    unsetenv("KD5200_FAULTS");
    boxes_.shown.clear();
    ASSERT_TRUE(voicedata::MakeQkaRecording(source_ / "REC01.QKA", 1.0));
    ASSERT_EQ(Download(0, {{"a.mp3", first}, {"b.mp3", second}}), 0);
    HNameList recording;
    recording.Add((source_ / "REC01.QKA").c_str(), 0, 0);
    ASSERT_EQ(DevDownloadFiles(nullptr, 0, recording, player::CopyOptions()).code, 0);
    ASSERT_TRUE(boxes_.shown.empty());
    const auto listed = List(0);
    ASSERT_EQ(listed.size(), 3u);
    setenv("KD5200_FAULTS", "flip:1", 1);
    EXPECT_EQ(Upload(0, listed), KD5200_ERR_FILE_WRITE);
    EXPECT_FALSE(std::filesystem::exists(target_ / "a.mp3"));
    EXPECT_FALSE(std::filesystem::exists(target_ / "b.mp3"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].secondary, target_ / "a.mp3");

    // QKA to WAV: the raw copy is checked before it is converted.
    unsetenv("KD5200_FAULTS");
    boxes_.shown.clear();
    ASSERT_EQ(Upload(0, {listed[0]}), 0); // clears the fault count
    setenv("KD5200_FAULTS", "flip:1", 1);
    EXPECT_EQ(Upload(0, {listed[2]}), KD5200_ERR_FILE_WRITE);
    EXPECT_FALSE(std::filesystem::exists(target_ / "REC01.WAV"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].secondary, target_ / "REC01.WAV");
    unsetenv("KD5200_FAULTS");
    EXPECT_EQ(Upload(0, {listed[2]}), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "REC01.WAV").substr(0, 4), "RIFF");

    // Stopped while the copy is read back: the file goes, as when stopped
    // while it is copied, without a message.
    boxes_.shown.clear();
    DevSetProgressHandler([](KD5200_HWND, const char*, device::ProgressPhase phase, int64_t,
                             int64_t) { return phase == device::ProgressPhase::kCheck; });
    EXPECT_EQ(Download(0, {{"c.mp3", "third"}}), KD5200_ERR_CANCELLED);
    EXPECT_EQ(List(0).size(), 3u);
    std::filesystem::remove(target_ / "a.mp3");
    EXPECT_EQ(Upload(0, {listed[0]}), KD5200_ERR_CANCELLED);
    EXPECT_FALSE(std::filesystem::exists(target_ / "a.mp3"));
    EXPECT_TRUE(boxes_.shown.empty());
}

// A copy's own progress handler gets the copy's reports, the read-back's
// as the check, and may stop it; the handler installed before gets none of
// them and is in place again after the copy, stopped or not, and after a
// replace given a handler of its own.
TEST_F(DevicePlayer, ACopysProgressHandlerIsItsOwnAndTheOneBeforeComesBack) {
    Connect();
    int before = 0, work = 0, checks = 0;
    DevSetProgressHandler([&](KD5200_HWND, const char*, device::ProgressPhase, int64_t, int64_t) {
        ++before;
        return false;
    });
    DevCopyOptions options;
    options.verify = true;
    const auto put = [&](const std::string& name) {
        devtest::WriteFile(source_ / name, std::string(3 * KD5200_BLOCK_SIZE, name[0]));
        HNameList list;
        list.Add((source_ / name).c_str(), 0, 0);
        return DevDownloadFiles(nullptr, 0, list, options).code;
    };
    const device::ProgressHandler counting = [&](KD5200_HWND, const char*,
                                                 device::ProgressPhase phase, int64_t, int64_t) {
        ++(phase == device::ProgressPhase::kCheck ? checks : work);
        return false;
    };
    options.progress = counting;
    EXPECT_EQ(put("a.mp3"), 0);
    EXPECT_GT(work, 0);
    EXPECT_GT(checks, 0);
    options.progress = [](KD5200_HWND, const char*, device::ProgressPhase, int64_t, int64_t) {
        return true;
    };
    EXPECT_EQ(put("b.mp3"), KD5200_ERR_CANCELLED);
    EXPECT_EQ(List(0).size(), 1u);
    work = checks = 0;
    devtest::WriteFile(target_ / "a.mp3", std::string(2 * KD5200_BLOCK_SIZE, 'n'));
    EXPECT_EQ(DevReplaceFile(nullptr, 0, {0, "a.mp3", 3 * KD5200_BLOCK_SIZE}, target_ / "a.mp3",
                             true, device::PlayerWatch(), counting)
                  .end,
              DevReplaceEnd::kReplaced);
    EXPECT_GT(work, 0);
    EXPECT_GT(checks, 0);
    EXPECT_EQ(before, 0);
    // A copy without a handler of its own reports to the one installed.
    options.progress = nullptr;
    EXPECT_EQ(put("c.mp3"), 0);
    EXPECT_GT(before, 0);
}

// A caller that says what a read-back found in its own words (showCheck
// false) sees no box for it, and the results tell it: a copy that differs
// is gone; one the player was lost before it was read back stays and is
// counted. The copy's own failures are still shown.
TEST_F(DevicePlayer, ACallerMayTellWhatAReadBackFound) {
    Connect();
    DevCopyOptions options;
    options.verify = true;
    options.showCheck = false;
    const auto put = [&](const std::string& name) {
        devtest::WriteFile(source_ / name, std::string(KD5200_BLOCK_SIZE + 7, name[0]));
        HNameList list;
        list.Add((source_ / name).c_str(), 0, 0);
        return DevDownloadFiles(nullptr, 0, list, options);
    };
    setenv("KD5200_FAULTS", "flip:1", 1);
    DevCopyResult copy = put("a.mp3");
    EXPECT_EQ(copy.code, KD5200_ERR_STORAGE);
    ASSERT_EQ(copy.files.size(), 1u);
    EXPECT_TRUE(copy.files[0].differs);
    EXPECT_EQ(copy.files[0].end, DevCopyEnd::kFailed);
    EXPECT_TRUE(List(0).empty());
    EXPECT_TRUE(boxes_.shown.empty());

    unsetenv("KD5200_FAULTS");
    options.progress = [](KD5200_HWND, const char*, device::ProgressPhase phase, int64_t done,
                          int64_t) {
        if (phase == device::ProgressPhase::kCheck && done == 0) Sim("unplug");
        return false;
    };
    copy = put("b.mp3");
    EXPECT_NE(copy.code, 0);
    ASSERT_EQ(copy.files.size(), 1u);
    EXPECT_EQ(copy.files[0].end, DevCopyEnd::kKeptUnchecked);
    EXPECT_TRUE(copy.files[0].unchecked);
    EXPECT_EQ(copy.Copied(), 1);
    EXPECT_EQ(DevGetFilesCopied(), 1);
    EXPECT_TRUE(boxes_.shown.empty());
    Sim("plug");
    Connect();
    EXPECT_EQ(List(0).size(), 1u);

    setenv("KD5200_FAULTS", "eio:1", 1);
    options.progress = nullptr;
    copy = put("c.mp3");
    EXPECT_NE(copy.code, 0);
    ASSERT_EQ(copy.files.size(), 1u);
    EXPECT_FALSE(copy.files[0].unchecked);
    EXPECT_EQ(copy.files[0].end, DevCopyEnd::kFailed);
    EXPECT_EQ(boxes_.shown.size(), 1u); // the library's message
}

// Reads without a file on the PC end whatever the entry holds: an entry
// larger than listed (by more than a pipe holds) is read one byte past its
// listed size, a slow line and reads from two threads at once finish, and
// read after read gives each file's own bytes.
TEST_F(DevicePlayer, ReadsIntoMemoryFinishWhateverTheEntryHolds) {
    Connect();
    std::string big(5 * KD5200_BLOCK_SIZE * 16, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 4096);
    const std::string small = big.substr(100, 20000);
    ASSERT_EQ(Download(0, {{"big.mp3", big}, {"small.mp3", small}}), 0);

    std::vector<unsigned char> into;
    ASSERT_EQ(DevReadEntry(nullptr, 0, 0, 1000, nullptr, into, false), 0);
    EXPECT_EQ(std::string(into.begin(), into.end()), big.substr(0, 1001));

    for (int round = 0; round < 40; ++round) {
        const int number = round % 2;
        const std::string& want = number == 0 ? big : small;
        ASSERT_EQ(DevReadEntry(nullptr, 0, number, static_cast<uint32_t>(want.size()), nullptr,
                               into, false),
                  0);
        ASSERT_EQ(std::string(into.begin(), into.end()), want) << "round " << round;
    }

    setenv("KD5200_SPEED", "200000", 1); // 20000 bytes take 100 ms
    bool same = false;
    EXPECT_EQ(DevCompareEntryWith(nullptr, 0, 1, static_cast<uint32_t>(small.size()), nullptr,
                                  small.data(), small.size(), same),
              0);
    EXPECT_TRUE(same);
    unsetenv("KD5200_SPEED");

    bool sameBig = false, sameSmall = false;
    int bigCode = -1;
    std::thread other([&] {
        bigCode = DevCompareEntryWith(nullptr, 0, 0, static_cast<uint32_t>(big.size()), nullptr,
                                      big.data(), big.size(), sameBig);
    });
    const int smallCode = DevCompareEntryWith(nullptr, 0, 1, static_cast<uint32_t>(small.size()),
                                              nullptr, small.data(), small.size(), sameSmall);
    other.join();
    EXPECT_EQ(bigCode, 0);
    EXPECT_EQ(smallCode, 0);
    EXPECT_TRUE(sameBig);
    EXPECT_TRUE(sameSmall);
}

// A copy that cannot be read back to be checked: one message, naming the
// file being copied and what became of its copy. A copy on the player goes
// while the player is there, and stays, counted, once it is unplugged. On
// the PC nothing takes the place of a file already there, as when the check
// finds a difference; the library's own messages name the file too.
TEST_F(DevicePlayer, ACopyThatCannotBeCheckedIsNamedAndLosesNothing) {
    settings::WriteVerifyCopies(true);
    Connect();
    const std::string removed = std::string(text::kReadBackFailedRemoved);
    // PC to player: chunk 1 is the copy of a.mp3, chunk 2 its read-back.
    setenv("KD5200_FAULTS", "eio:2", 1);
    EXPECT_NE(Download(0, {{"a.mp3", "first"}, {"b.mp3", "second"}}), 0);
    EXPECT_TRUE(List(0).empty());
    EXPECT_EQ(DevGetFilesCopied(), 0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, removed);
    EXPECT_EQ(boxes_.shown[0].secondary, source_ / "a.mp3");

    // Player to PC: over the person's own a.mp3, then to a new b.mp3.
    unsetenv("KD5200_FAULTS");
    ASSERT_EQ(Download(0, {{"a.mp3", "first"}, {"b.mp3", "second"}}), 0);
    const auto listed = List(0);
    devtest::WriteFile(target_ / "a.mp3", "the person's own");
    boxes_.shown.clear();
    setenv("KD5200_FAULTS", "eio:2,", 1);
    EXPECT_NE(Upload(0, listed), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), "the person's own");
    EXPECT_EQ(DevGetFilesCopied(), 0);
    ASSERT_EQ(boxes_.shown.size(), 2u); // the overwrite question, answered Yes
    EXPECT_EQ(boxes_.shown[1].text, removed);
    EXPECT_EQ(boxes_.shown[1].secondary, target_ / "a.mp3");
    boxes_.shown.clear();
    setenv("KD5200_FAULTS", "eio:2,,", 1);
    EXPECT_NE(Upload(0, {listed[1]}), 0);
    EXPECT_EQ(Names(target_.path()), std::set<std::string>{"a.mp3"});
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].secondary, target_ / "b.mp3");
    // A flipped bit found on the way over the person's file leaves it too.
    boxes_.shown.clear();
    setenv("KD5200_FAULTS", "flip:1", 1);
    EXPECT_EQ(Upload(0, {listed[0]}), KD5200_ERR_FILE_WRITE);
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), "the person's own");
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, text::kVerifyFailed);
    // The copy itself fails: the library's message names the file.
    boxes_.shown.clear();
    setenv("KD5200_FAULTS", "eio:1", 1);
    EXPECT_NE(Upload(0, {listed[1]}), 0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find(target_ / "b.mp3" + ": "), std::string::npos)
        << boxes_.shown[0].text;
    EXPECT_EQ(Names(target_.path()), std::set<std::string>{"a.mp3"});

    // Unplugged while the second file is read back: its copy stays and counts.
    unsetenv("KD5200_FAULTS");
    boxes_.shown.clear();
    int checks = 0; // read-backs begun
    DevSetProgressHandler([&checks](KD5200_HWND, const char*, device::ProgressPhase phase,
                                    int64_t done, int64_t) {
        if (phase == device::ProgressPhase::kCheck && done == 0 && ++checks == 2)
            Sim("unplug");
        return false;
    });
    EXPECT_NE(Download(0, {{"c.mp3", "third"}, {"d.mp3", "fourth"}, {"e.mp3", "fifth"}}), 0);
    EXPECT_EQ(DevGetFilesCopied(), 2);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              std::string(text::kReadBackUnpluggedKept));
    EXPECT_EQ(boxes_.shown[0].secondary, source_ / "d.mp3");
    DevSetProgressHandler(nullptr);
    Sim("plug");
    Connect();
    EXPECT_EQ(List(0).size(), 4u);
}

// A verified copy killed while it is read back leaves nothing in the
// temporary folder, and the person's file it was to replace as it was; what
// it left beside that file goes with the next copy to that name.
TEST_F(DevicePlayer, AVerifiedCopyKilledWhileCheckedLeavesNothingBehind) {
    settings::WriteVerifyCopies(true);
    Connect();
    ASSERT_TRUE(voicedata::MakeQkaRecording(source_ / "REC01.QKA", 1.0));
    ASSERT_EQ(Download(0, {{"a.mp3", "from the player"}}), 0);
    HNameList recording;
    recording.Add((source_ / "REC01.QKA").c_str(), 0, 0);
    ASSERT_EQ(DevDownloadFiles(nullptr, 0, recording, player::CopyOptions()).code, 0);
    const auto listed = List(0);
    ASSERT_EQ(listed.size(), 2u);
    devtest::WriteFile(target_ / "a.mp3", "the person's own");

    devtest::TempDir scratch;
    const char* was = std::getenv("TMPDIR");
    const std::string outer = was ? was : "";
    setenv("TMPDIR", scratch.path().c_str(), 1);
    KillWhileCheckingIn([&] { Download(0, {{"b.mp3", "second"}}); });
    EXPECT_TRUE(Names(scratch.path()).empty()) << "PC to player";
    KillWhileCheckingIn([&] { Upload(0, {listed[0]}); });
    EXPECT_TRUE(Names(scratch.path()).empty()) << "over a file of the person's";
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), "the person's own");
    EXPECT_EQ(Names(target_.path()), std::set<std::string>{"a.mp3"}) << "nothing beside it";
    KillWhileCheckingIn([&] { Upload(0, {listed[1]}); });
    EXPECT_TRUE(Names(scratch.path()).empty()) << "a recording converted to WAV";
    EXPECT_FALSE(std::filesystem::exists(target_ / "REC01.WAV"));
    if (was)
        setenv("TMPDIR", outer.c_str(), 1);
    else
        unsetenv("TMPDIR");
    ASSERT_EQ(Upload(0, {listed[0]}), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), "from the player");
    EXPECT_EQ(Names(target_.path()), std::set<std::string>{"a.mp3"});
}

// A player file replaced by a process killed part-way is put right by the
// next listing, as Songdock reads the memory: the old file while the copy
// was unchecked, the new one once it was checked, each under its name and
// in its place.
TEST_F(DevicePlayer, AKilledReplaceIsPutRightByTheNextListing) {
    Connect();
    ASSERT_EQ(Download(0, {{"a.mp3", "old"}, {"b.mp3", "bb"}}), 0);
    devtest::WriteFile(target_ / "a.mp3", "the new one");
    const auto replace = [&] {
        return DevReplaceFile(nullptr, 0, {0, "a.mp3", 3}, target_ / "a.mp3", true,
                              device::PlayerWatch());
    };
    // As Songdock reads the memory again.
    const auto listed = [] {
        HDirEntryList list;
        std::vector<Listed> out;
        if (DevListFiles(0, list, true))
            for (const auto& e : list)
                out.push_back({e.name.value_or("<null>"), e.number, e.size});
        return out;
    };
    KillWhileCheckingIn([&] { replace(); });
    EXPECT_EQ(listed(), (std::vector<Listed>{{"a.mp3", 0, 3}, {"b.mp3", 1, 2}}));

    const DevReplaceResult done = replace();
    EXPECT_EQ(done.code, 0);
    EXPECT_EQ(done.end, DevReplaceEnd::kReplaced);
    EXPECT_EQ(listed(), (std::vector<Listed>{{"a.mp3", 0, 11}, {"b.mp3", 1, 2}}));

    // Killed once the copy was checked: stored as such a run leaves it.
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    waitpid(ended, nullptr, 0);
    std::string pid;
    for (long value = ended; value > 0; value /= 36)
        pid.insert(pid.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36]);
    devtest::TempDir marks;
    devtest::WriteFile(marks / ("~kdr00" + pid + "~a.mp3"), "newest");
    Sim("put internal " + sdtest::ShellQuote(marks / ("~kdr00" + pid + "~a.mp3")));
    EXPECT_EQ(listed(), (std::vector<Listed>{{"a.mp3", 0, 6}, {"b.mp3", 1, 2}}));
}

// Without verification a flipped bit passes unnoticed, as it always did; a
// chunk the player fails stops the transfer with the player's error.
TEST_F(DevicePlayer, UnverifiedCopiesPassAFlipAndStopAtAFailedChunk) {
    Connect();
    const std::string data(KD5200_BLOCK_SIZE, 'a');
    setenv("KD5200_FAULTS", "flip:1", 1);
    ASSERT_EQ(Download(0, {{"a.mp3", data}}), 0);
    unsetenv("KD5200_FAULTS");
    ASSERT_EQ(Upload(0, List(0)), 0);
    std::string flipped = data;
    flipped[0] = static_cast<char>(flipped[0] ^ 1);
    EXPECT_EQ(devtest::ReadFile(target_ / "a.mp3"), flipped);
    EXPECT_TRUE(boxes_.shown.empty());

    setenv("KD5200_FAULTS", "eio:2", 1);
    EXPECT_EQ(Download(0, {{"b.mp3", std::string(3 << 20, 'b')}, {"c.mp3", "c"}}),
              KD5200_ERR_STORAGE);
    EXPECT_EQ(List(0).size(), 1u);
    ASSERT_EQ(boxes_.shown.size(), 1u);
}

} // namespace
