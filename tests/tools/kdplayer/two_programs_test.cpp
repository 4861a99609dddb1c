// The same transfers made by Songdock's panes (the device layer with the
// panes' options, a person answering the questions) on one virtual player
// and by the kdplayer command line on another leave the same files on
// both players and on both PCs.
#include "kdplayer_fixture.h"

#include "base/platform/message_box.h"
#include "base/resources/strings.h"
#include "lib/device/device_layer.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "lib/settings/settings_store.h"
#include "views/player/copy_options.h"
#include "voice_data.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>

namespace {

using Files = std::map<std::string, std::string>; // name: Digest of its bytes

// A file's bytes, short enough for a failure to show.
std::string Digest(const std::string& bytes) {
    return std::to_string(bytes.size()) + " bytes, hash " +
           std::to_string(std::hash<std::string>{}(bytes));
}

class TwoPrograms : public kdtest::Kdplayer {
protected:
    void SetUp() override {
        ASSERT_EQ(Sim({"create"}).status, 0);
        ASSERT_EQ(Sim({"plug"}).status, 0);
        ASSERT_EQ(SongdockSim({"create"}).status, 0);
        ASSERT_EQ(SongdockSim({"plug"}).status, 0);
        setenv("XDG_CONFIG_HOME", (dir / "songdock-config").c_str(), 1);
        setenv("KD5200_PLAYER_DIR", (dir / "songdock-player").c_str(), 1);
        setenv("KD5200USB_LIBRARY", SD_KD5200USB_PATH, 1);
        setenv("TMPDIR", (dir / "tmp").c_str(), 1);
        DevInit();
        ASSERT_TRUE(DevLibraryLoaded()) << DevLibraryError();
        int count = 0, mask = 0;
        ASSERT_TRUE(DevConnect(true, &count, &mask));
        // The person's answers to the overwrite questions, in order.
        oldBoxes_ = platform::SetMessageBoxHandler(
            [this](void*, const std::string& text, const std::string& caption, unsigned) {
                questions.push_back(caption + ": " + platform::SplitSecondaryText(text).first);
                if (answers.empty()) return static_cast<int>(platform::kIdCancel);
                const int answer = answers.front();
                answers.pop_front();
                return answer;
            });
    }
    void TearDown() override {
        platform::SetMessageBoxHandler(oldBoxes_);
        DevExit();
        for (const char* name : {"XDG_CONFIG_HOME", "KD5200_PLAYER_DIR", "KD5200USB_LIBRARY"})
            unsetenv(name);
    }

    sdtest::ProgramRun SongdockSim(const std::vector<std::string>& args) {
        return sdtest::RunProgram(SD_BIN_DIR "/kd5200sim", args, dir.string(), "",
                                  {"KD5200_PLAYER_DIR=" + (dir / "songdock-player").string()});
    }

    // The pane's drop of PC files onto a memory.
    int SongdockPut(int memory, const std::vector<fs::path>& paths) {
        HNameList list;
        for (const fs::path& path : paths)
            list.Add(path.c_str(), 0, 0);
        return DevDownloadFiles(nullptr, memory, list, player::CopyOptions()).code;
    }
    // The pane's copy of the named player files into a PC folder.
    DevCopyResult SongdockGet(int memory, const std::vector<std::string>& names,
                              const fs::path& folder) {
        HDirEntryList listed;
        EXPECT_TRUE(DevListFiles(memory, listed, true));
        HNameList list;
        for (const auto& entry : listed)
            if (std::find(names.begin(), names.end(), *entry.name) != names.end())
                list.Add(entry.name->c_str(), entry.number, entry.size);
        return DevUploadFiles(nullptr, memory, folder.c_str(), list, player::CopyOptions());
    }

    // A player's internal memory as kd5200sim lists it (names, sizes, order,
    // blocks used), each file's line with its bytes.
    std::vector<std::pair<std::string, std::string>> Held(bool songdock) {
        const auto sim = [&](const std::vector<std::string>& args) {
            return songdock ? SongdockSim(args) : Sim(args);
        };
        const sdtest::ProgramRun ls = sim({"ls", "internal"});
        EXPECT_EQ(ls.status, 0) << ls.err;
        std::vector<std::pair<std::string, std::string>> held;
        std::istringstream lines(ls.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] < '0' || line[0] > '9') {
                held.emplace_back(line, ""); // the memory's heading
                continue;
            }
            const fs::path out = dir / "tmp" / "held";
            const sdtest::ProgramRun get =
                sim({"get", "internal", line.substr(0, line.find('\t')), out.string()});
            EXPECT_EQ(get.status, 0) << get.err;
            held.emplace_back(line, Digest(kdtest::Read(out)));
            fs::remove(out);
        }
        return held;
    }

    static Files InFolder(const fs::path& folder) {
        Files files;
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = Digest(kdtest::Read(entry.path()));
        return files;
    }

    std::deque<int> answers;
    std::vector<std::string> questions;

private:
    platform::MessageBoxHandler oldBoxes_;
};

TEST_F(TwoPrograms, PutGetReplaceAndSkipLeaveTheSameFiles) {
    // Verified copies that convert recordings, as both are asked to.
    settings::WriteVerifyCopies(true);
    settings::WriteAdpcmConvert(0);
    settings::WriteQdxConvert(0);
    const fs::path source = dir / "source";
    fs::create_directories(source);
    kdtest::Write(source / "one.mp3", kdtest::Bytes(300000, 1));
    kdtest::Write(source / "two.mp3", kdtest::Bytes(70000, 2));
    kdtest::Write(source / "three.mp3", kdtest::Bytes(1, 3));
    ASSERT_TRUE(voicedata::MakeQkaRecording((source / "MEMO.QKA").string(), 2.0));
    const std::vector<fs::path> sources = {source / "one.mp3", source / "two.mp3",
                                           source / "three.mp3", source / "MEMO.QKA"};

    // Onto the players.
    ASSERT_EQ(SongdockPut(0, sources), 0);
    std::vector<std::string> put = {"put", "--verify", "internal"};
    for (const fs::path& path : sources)
        put.push_back(path.string());
    const sdtest::ProgramRun putRun = Run(put);
    ASSERT_EQ(putRun.status, 0) << putRun.err;
    const auto onPlayer = Held(false);
    EXPECT_EQ(Held(true), onPlayer);
    ASSERT_EQ(onPlayer.size(), 5u);
    EXPECT_EQ(onPlayer[1].second, Digest(kdtest::Read(source / "one.mp3")));

    // Back to fresh PC folders, the recording as WAV.
    const fs::path songdockPc = dir / "songdock-pc", kdplayerPc = dir / "pc" / "back";
    fs::create_directories(songdockPc);
    fs::create_directories(kdplayerPc);
    const std::vector<std::string> names = {"one.mp3", "two.mp3", "three.mp3", "MEMO.QKA"};
    ASSERT_EQ(SongdockGet(0, names, songdockPc).Copied(), 4);
    EXPECT_TRUE(questions.empty());
    std::vector<std::string> get = {"get", "--verify",          "--convert",
                                    "-t",  kdplayerPc.string(), "internal"};
    get.insert(get.end(), names.begin(), names.end());
    const sdtest::ProgramRun getRun = Run(get);
    ASSERT_EQ(getRun.status, 0) << getRun.err;
    const Files fresh = InFolder(kdplayerPc);
    EXPECT_EQ(InFolder(songdockPc), fresh);
    EXPECT_EQ(fresh.count("MEMO.WAV"), 1u);
    EXPECT_EQ(fresh.at("two.mp3"), Digest(kdtest::Read(source / "two.mp3")));

    // Old PC copies: one.mp3 is replaced, two.mp3 kept. The person answers
    // Yes, then No; kdplayer is given --force for the one and not the other.
    for (const fs::path& folder : {songdockPc, kdplayerPc}) {
        kdtest::Write(folder / "one.mp3", "old one");
        kdtest::Write(folder / "two.mp3", "old two");
    }
    answers = {platform::kIdYes, platform::kIdNo};
    const DevCopyResult again = SongdockGet(0, {"one.mp3", "two.mp3"}, songdockPc);
    ASSERT_EQ(again.code, 0);
    ASSERT_EQ(again.files.size(), 2u);
    EXPECT_EQ(again.files[0].end, DevCopyEnd::kCopied);
    EXPECT_EQ(again.files[1].end, DevCopyEnd::kSkipped);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0],
              (songdockPc / "one.mp3").string() + ": " + strings::Load(sid::kOverwrite));
    const sdtest::ProgramRun replace = Run(
        {"get", "--verify", "-f", "-o", (kdplayerPc / "one.mp3").string(), "internal", "one.mp3"});
    EXPECT_EQ(replace.status, 0) << replace.err;
    const sdtest::ProgramRun skip = Run({"get", "-t", kdplayerPc.string(), "internal", "two.mp3"});
    EXPECT_EQ(skip.status, 1);
    EXPECT_NE(skip.err.find("exists; --force replaces it"), std::string::npos) << skip.err;

    const Files after = InFolder(kdplayerPc);
    EXPECT_EQ(InFolder(songdockPc), after);
    EXPECT_EQ(after.at("one.mp3"), Digest(kdtest::Read(source / "one.mp3")));
    EXPECT_EQ(after.at("two.mp3"), Digest("old two"));
    // Nothing else was left behind, hidden temporaries included.
    EXPECT_EQ(kdtest::Entries(kdplayerPc),
              (std::vector<std::string>{"MEMO.WAV", "one.mp3", "three.mp3", "two.mp3"}));
    EXPECT_EQ(Held(true), Held(false));
}

} // namespace
