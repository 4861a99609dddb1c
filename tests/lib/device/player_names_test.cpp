// Player file names in the player's code page, through the device layer on
// the virtual player: what the player holds, what the panes list and what
// comes back to the PC.
#include "base/platform/file_dialog.h"
#include "lib/device/device_layer.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "lib/maint/firmware_upgrade.h"
#include "lib/maint/lcd_font.h"
#include "lib/settings/settings_store.h"
#include "device_test_support.h"
#include "voice_data.h"
#include "run_program.h"
#include "views/player/copy_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kSong = "노래 1.mp3";
const std::string kSongCp949 = "\xB3\xEB\xB7\xA1 1.mp3";

class PlayerNames : public testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        setenv("KD5200_PLAYER_DIR", player_.path().c_str(), 1);
        setenv("KD5200USB_LIBRARY", SD_KD5200USB_PATH, 1);
        // A Korean desktop: the player's names are in CP949.
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "KD5200_CODEPAGE"})
            unsetenv(name);
        setenv("LANG", "ko_KR.UTF-8", 1);
        ASSERT_EQ(Sim({"create"}).status, 0);
        ASSERT_EQ(Sim({"plug"}).status, 0);
    }
    void TearDown() override {
        DevExit();
        unsetenv("KD5200USB_LIBRARY");
        unsetenv("KD5200_PLAYER_DIR");
        unsetenv("LANG");
    }
    void Start() {
        DevInit();
        ASSERT_TRUE(DevLibraryLoaded()) << DevLibraryError();
        int count = 0, mask = 0;
        ASSERT_TRUE(DevConnect(true, &count, &mask));
    }
    static sdtest::ProgramRun Sim(const std::vector<std::string>& args,
                                  const std::vector<std::string>& environment = {}) {
        return sdtest::RunProgram(std::string(SD_BIN_DIR) + "/kd5200sim", args, ".", "",
                                  environment);
    }
    // The long names the internal memory holds, as bytes.
    static std::vector<std::string> RawNames() {
        const auto run = Sim({"ls", "--raw", "internal"});
        std::vector<std::string> names;
        size_t at = run.out.find('\n') + 1; // after the memory's header line
        while (at < run.out.size()) {
            const size_t end = run.out.find('\n', at);
            std::vector<std::string> fields;
            size_t from = at;
            for (size_t tab; (tab = run.out.find('\t', from)) < end; from = tab + 1)
                fields.push_back(run.out.substr(from, tab - from));
            if (fields.size() >= 3) names.push_back(fields[2].empty() ? fields[1] : fields[2]);
            at = end + 1;
        }
        return names;
    }
    std::vector<std::string> Listed() {
        HDirEntryList list;
        std::vector<std::string> names;
        if (DevListFiles(0, list, true))
            for (const auto& e : list)
                names.push_back(e.name.value_or(""));
        return names;
    }
    int Download(const std::vector<std::string>& names) {
        HNameList list;
        for (const std::string& name : names) {
            devtest::WriteFile(source_ / name, "data of " + name);
            list.Add((source_ / name).c_str(), 0, 0);
        }
        return DevDownloadFiles(nullptr, 0, list, player::CopyOptions()).code;
    }

    devtest::TempDir config_, player_, source_, target_;
    devtest::ScriptedBoxes boxes_;
};

TEST_F(PlayerNames, AKoreanNameTravelsInCp949AndComesBackAsItWas) {
    Start();
    EXPECT_EQ(DevGetCodePage(), "CP949");
    ASSERT_EQ(Download({kSong}), 0);
    EXPECT_EQ(RawNames(), std::vector<std::string>{kSongCp949});
    EXPECT_EQ(Listed(), std::vector<std::string>{kSong});

    // Renamed to another Korean name: stored in CP949 too.
    DevRenameEntry(0, 0, "새 노래.mp3");
    EXPECT_EQ(RawNames(), std::vector<std::string>{"\xBB\xF5 \xB3\xEB\xB7\xA1.mp3"});
    HDirEntryList list;
    ASSERT_TRUE(DevListFiles(0, list, true));
    HNameList back;
    for (const auto& e : list)
        back.Add(e.name->c_str(), e.number, e.size);
    ASSERT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), back, player::CopyOptions()).code,
              0);
    EXPECT_EQ(devtest::ReadFile(target_ / "새 노래.mp3"), "data of " + kSong);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PlayerNames, NamesWrittenByAnotherProgramAreReadInTheCodePage) {
    // Another program on a Korean PC writes "노래.mp3"; one on a Russian PC
    // "ж.mp3" and "з.mp3", and a "50%" before "ж".
    for (const std::string name : {"노래.mp3", "ж.mp3", "з.mp3", "50%ж.mp3"})
        devtest::WriteFile(source_ / name, "data of " + name);
    ASSERT_EQ(Sim({"put", "internal", source_ / "노래.mp3"}, {"KD5200_CODEPAGE=CP949"}).status, 0);
    for (const std::string name : {"ж.mp3", "з.mp3", "50%ж.mp3"})
        ASSERT_EQ(Sim({"put", "internal", source_ / name}, {"KD5200_CODEPAGE=CP1251"}).status, 0);
    EXPECT_EQ(Sim({"ls", "internal"}, {"KD5200_CODEPAGE=CP949"}).out.find("노래.mp3") !=
                  std::string::npos,
              true);
    Start();
    // 0xE6 and 0xE7 start no CP949 character before '.': shown as U+FFFD.
    const std::vector<std::string> names = Listed();
    ASSERT_EQ(names, (std::vector<std::string>{"노래.mp3", "\xEF\xBF\xBD.mp3", "\xEF\xBF\xBD.mp3",
                                               "50%\xEF\xBF\xBD.mp3"}));

    // Still acted on by number, name bytes and size: each copy keeps the
    // readable part of its name, the other bytes as "%HH" (and "%" as "%25"
    // beside them), so the two names shown alike become two PC files, whole.
    HDirEntryList list;
    ASSERT_TRUE(DevListFiles(0, list, false));
    HNameList back;
    for (const auto& e : list)
        back.Add(e.name->c_str(), e.number, e.size);
    ASSERT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), back, player::CopyOptions()).code,
              0);
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(devtest::ReadFile(target_ / "노래.mp3"), "data of 노래.mp3");
    EXPECT_EQ(devtest::ReadFile(target_ / "%E6.mp3"), "data of ж.mp3");
    EXPECT_EQ(devtest::ReadFile(target_ / "%E7.mp3"), "data of з.mp3");
    EXPECT_EQ(devtest::ReadFile(target_ / "50%25%E6.mp3"), "data of 50%ж.mp3");
    // The pane is told which files those are, to say so.
    const std::vector<DevEscapedName>& escaped = DevGetEscapedNames();
    ASSERT_EQ(escaped.size(), 3u);
    EXPECT_EQ(escaped[0].shown, names[1]);
    EXPECT_EQ(escaped[0].pcName, "%E6.mp3");
    EXPECT_EQ(escaped[2].pcName, "50%25%E6.mp3");
}

TEST_F(PlayerNames, TwoPlayerNamesNeverShareAPcName) {
    // "%E6.mp3" as a name of its own, and a name whose byte 0xE6 CP949 does
    // not read: the first keeps its "%" as "%25", the second's byte is "%E6".
    devtest::WriteFile(source_ / "old.mp3", "old");
    devtest::WriteFile(source_ / "%E6.mp3", "plain");
    devtest::WriteFile(source_ / "ж.mp3", "russian");
    ASSERT_EQ(Sim({"put", "internal", source_ / "old.mp3"}).status, 0);
    ASSERT_EQ(Sim({"put", "internal", source_ / "%E6.mp3"}).status, 0);
    ASSERT_EQ(Sim({"put", "internal", source_ / "ж.mp3"}, {"KD5200_CODEPAGE=CP1251"}).status, 0);
    devtest::WriteFile(target_ / "old.mp3", "on the PC");
    Start();
    HDirEntryList list;
    ASSERT_TRUE(DevListFiles(0, list, true));
    HNameList back;
    for (const auto& e : list)
        back.Add(e.name->c_str(), e.number, e.size);
    // Only the PC's own old.mp3 is asked about.
    boxes_.answers = {platform::kIdYes};
    ASSERT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), back, player::CopyOptions()).code,
              0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(devtest::ReadFile(target_ / "old.mp3"), "old");
    EXPECT_EQ(devtest::ReadFile(target_ / "%25E6.mp3"), "plain");
    EXPECT_EQ(devtest::ReadFile(target_ / "%E6.mp3"), "russian");
    // Both are told, so that the pane can say why the names differ.
    std::vector<std::string> told;
    for (const DevEscapedName& name : DevGetEscapedNames())
        told.push_back(name.pcName);
    EXPECT_EQ(told, (std::vector<std::string>{"%25E6.mp3", "%E6.mp3"}));
}

TEST_F(PlayerNames, ANameTheCodePageCannotWriteIsRefusedBeforeAnythingIsWritten) {
    Start();
    const int result = Download({"a.mp3", "🎵 mix.mp3", "b.mp3"});
    EXPECT_EQ(result, KD5200_ERR_BAD_NAME);
    // The transfer stops at that file: the one before it stays copied.
    EXPECT_EQ(RawNames(), std::vector<std::string>{"a.mp3"});
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find("🎵 mix.mp3"), std::string::npos) << boxes_.shown[0].text;
    EXPECT_NE(boxes_.shown[0].text.find("U+1F3B5"), std::string::npos);
    EXPECT_EQ(boxes_.shown[0].text.find('?' + std::string(" mix")), std::string::npos);

    // Nor can a rename bring such a name in: the file keeps its own.
    DevRenameEntry(0, 0, "🎵.mp3");
    EXPECT_EQ(RawNames(), std::vector<std::string>{"a.mp3"});
    EXPECT_EQ(boxes_.shown.size(), 2u);
}

TEST_F(PlayerNames, TheSettingChoosesTheCodePageOverTheLanguage) {
    settings::WritePlayerCodePage("CP1252");
    Start();
    EXPECT_EQ(DevGetCodePage(), "CP1252");
    ASSERT_EQ(Download({"café.mp3"}), 0);
    EXPECT_EQ(RawNames(), std::vector<std::string>{"caf\xE9.mp3"});
    EXPECT_EQ(Listed(), std::vector<std::string>{"café.mp3"});
    // Back to the language: the same bytes now read as CP949, where 0xE9
    // before '.' starts no character.
    settings::WritePlayerCodePage("");
    DevApplyCodePage();
    EXPECT_EQ(Listed(), std::vector<std::string>{"caf\xEF\xBF\xBD.mp3"});
}

TEST_F(PlayerNames, RecordingsComeBackAsWavFilesUnderTheirNamesInThePcText) {
    Start();
    // A Korean recording made on this PC, and one named on a Russian PC.
    ASSERT_TRUE(voicedata::MakeQkaRecording(source_ / "녹음 1.QKA", 1.0));
    ASSERT_TRUE(voicedata::MakeQdxRecording(source_ / "ж.QDX", 1, true, 1.0));
    HNameList files;
    files.Add((source_ / "녹음 1.QKA").c_str(), 0, 0);
    ASSERT_EQ(DevDownloadFiles(nullptr, 0, files, player::CopyOptions()).code, 0);
    ASSERT_EQ(Sim({"put", "internal", source_ / "ж.QDX"}, {"KD5200_CODEPAGE=CP1251"}).status, 0);
    EXPECT_EQ(RawNames(), (std::vector<std::string>{"\xB3\xEC\xC0\xBD 1.QKA", "\xE6.QDX"}));

    HDirEntryList list;
    ASSERT_TRUE(DevListFiles(0, list, true));
    HNameList back;
    for (const auto& e : list)
        back.Add(e.name->c_str(), e.number, e.size);
    ASSERT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), back, player::CopyOptions()).code,
              0)
        << (boxes_.shown.empty() ? "" : boxes_.shown[0].text);
    // The PC's names are UTF-8; the byte CP949 does not read is "%E6".
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(target_.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"%E6.WAV", "\xEB\x85\xB9\xEC\x9D\x8C 1.WAV"}));
    for (const std::string& name : names)
        EXPECT_EQ(devtest::ReadFile(target_ / name).substr(0, 4), "RIFF") << name;
    ASSERT_EQ(DevGetEscapedNames().size(), 1u);
    EXPECT_EQ(DevGetEscapedNames()[0].pcName, "%E6.WAV");
}

TEST_F(PlayerNames, TheFirmwaresAndTheFontsFileNamesCrossInTheCodePage) {
    std::deque<std::string> chosen;
    const platform::FileDialogHandler old =
        platform::SetFileDialogHandler([&](const platform::FileDialogRequest&) {
            std::optional<std::string> answer;
            if (!chosen.empty()) answer = chosen.front(), chosen.pop_front();
            return answer;
        });
    Start();
    const std::filesystem::path korean = source_ / "펌웨어", emoji = source_ / "🎵";
    std::filesystem::create_directories(korean);
    std::filesystem::create_directories(emoji);
    devtest::WriteFile(korean / "code.bin", "code");
    devtest::WriteFile(emoji / "code.bin", "other code");
    devtest::WriteFile(korean / "글꼴.fot", "font");
    devtest::WriteFile(source_ / "🎵.fot", "other font");
    const auto status = [&] { return Sim({"status"}, {"KD5200_CODEPAGE=CP949"}).out; };

    // The player records the chosen file's path in CP949, and reads it back so.
    chosen = {korean / "code.bin"};
    ASSERT_EQ(maint::UpgradeApplicationCode(nullptr), 0);
    const std::string recorded = "from " + (korean / "code.bin").string() + "\n";
    EXPECT_NE(status().find(recorded), std::string::npos) << status();
    // A path CP949 cannot write is refused, naming the character; nothing is written.
    boxes_.shown.clear();
    chosen = {emoji / "code.bin"};
    EXPECT_EQ(maint::UpgradeApplicationCode(nullptr), maint::kUpgradeNotAttempted);
    ASSERT_FALSE(boxes_.shown.empty());
    EXPECT_NE(boxes_.shown.back().text.find("🎵"), std::string::npos) << boxes_.shown.back().text;
    EXPECT_NE(boxes_.shown.back().text.find("U+1F3B5"), std::string::npos);
    EXPECT_NE(status().find(recorded), std::string::npos) << status();

    // The font's name likewise.
    chosen = {korean / "글꼴.fot"};
    ASSERT_EQ(maint::DownloadLcdFont(nullptr), 0);
    EXPECT_NE(status().find("font: 글꼴.fot (4 bytes)"), std::string::npos) << status();
    boxes_.shown.clear();
    chosen = {source_ / "🎵.fot"};
    EXPECT_NE(maint::DownloadLcdFont(nullptr), 0);
    ASSERT_FALSE(boxes_.shown.empty());
    EXPECT_NE(boxes_.shown.back().text.find("U+1F3B5"), std::string::npos)
        << boxes_.shown.back().text;
    EXPECT_NE(status().find("font: 글꼴.fot (4 bytes)"), std::string::npos) << status();
    platform::SetFileDialogHandler(old);
}

} // namespace
