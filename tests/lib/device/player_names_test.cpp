// Player file names in the player's code page, through the device layer on
// the virtual player: what the player holds, what the panes list and what
// comes back to the PC.
#include "lib/device/device_layer.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "lib/settings/settings_store.h"
#include "device_test_support.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
        return DevDownloadFiles(nullptr, 0, list);
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
    ASSERT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), back), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "새 노래.mp3"), "data of " + kSong);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PlayerNames, NamesWrittenByAnotherProgramAreReadInTheCodePage) {
    // Another program on a Korean PC writes "노래.mp3"; one on a Russian PC "ж.mp3".
    devtest::WriteFile(source_ / "노래.mp3", "song");
    devtest::WriteFile(source_ / "ж.mp3", "zh");
    ASSERT_EQ(Sim({"put", "internal", source_ / "노래.mp3"}, {"KD5200_CODEPAGE=CP949"}).status, 0);
    ASSERT_EQ(Sim({"put", "internal", source_ / "ж.mp3"}, {"KD5200_CODEPAGE=CP1251"}).status, 0);
    EXPECT_EQ(Sim({"ls", "internal"}, {"KD5200_CODEPAGE=CP949"}).out.find("노래.mp3") !=
                  std::string::npos,
              true);
    Start();
    // 0xE6 starts no CP949 character before '.': shown as U+FFFD.
    const std::vector<std::string> names = Listed();
    ASSERT_EQ(names, (std::vector<std::string>{"노래.mp3", "\xEF\xBF\xBD.mp3"}));

    // Still acted on by number, name bytes and size: the copy keeps the
    // readable part of the name and every byte of the file.
    HNameList back;
    back.Add(names[1].c_str(), 1, 2);
    ASSERT_EQ(DevUploadFiles(nullptr, 0, target_.path().c_str(), back), 0);
    EXPECT_EQ(devtest::ReadFile(target_ / "\xEF\xBF\xBD.mp3"), "zh");
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

} // namespace
