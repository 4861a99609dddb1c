// Settings store: defaults, round trips, damaged files, the freeze flag,
// cutting of long texts and concurrent writers.
#include "lib/settings/settings_store.h"

#include "base/platform/paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sd-settings-XXXXXX";
        home_ = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
        settings::SetCompanyKey("Zentrovia");
        settings::SetLastDirectoryFrozen(false);
    }
    void TearDown() override {
        const std::string cmd = "rm -rf '" + home_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string ReadProfile() {
        std::string text;
        platform::ReadWholeFile(settings::ProfilePath(), text);
        return text;
    }
    void WriteProfile(const std::string& text) {
        ASSERT_TRUE(platform::WriteFileAtomically(settings::ProfilePath(), text));
    }
    std::string home_;
};

TEST_F(SettingsTest, FirstRunReadsDefaultsAndWritesNothing) {
    using namespace settings;
    EXPECT_EQ(ProfilePath(), home_ + "/config/Zentrovia/Songdock.conf");
    // The defaults the windows show are checked there; here, what reading
    // an absent file gives back.
    for (int pane = -1; pane <= 1; ++pane) {
        EXPECT_EQ(GetSortAscendent(pane), 1);
        EXPECT_EQ(GetSortAscendent(pane, 0), 0);
    }
    char buffer[520] = "garbage";
    for (const char* key :
         {kCodecCodeName, kBootCodeName, kFontName, kRawDataFileName, kRawDataViewer}) {
        EXPECT_EQ(GetSongdockText(key, buffer, sizeof buffer), 0u);
        EXPECT_STREQ(buffer, "");
    }
    LoadFileFilter();
    EXPECT_EQ(GetFileFilter(), "*.*");
    LoadLastDirectory();
    EXPECT_EQ(GetLastDirectory(), platform::CurrentDirectory());
    EXPECT_FALSE(platform::PathExists(ProfilePath()));
}

TEST_F(SettingsTest, ValuesRoundTripInTheirSectionsWithoutLosingOthers) {
    using namespace settings;
    ASSERT_TRUE(WriteWindowState(3));
    ASSERT_TRUE(WriteTimeouts({1000, 2000, 3000}));
    ASSERT_TRUE(WriteRawDataRange({0xFFFFFFF0u, 7}));
    ASSERT_TRUE(WriteROMSelect(2));
    ASSERT_TRUE(WriteAdpcmConvert(1));
    ASSERT_TRUE(WriteQdxConvert(1));
    ASSERT_TRUE(WriteColumnWidth(1, 2, 321));
    ASSERT_TRUE(WriteColumnWidth(-1, 0, 55));
    ASSERT_TRUE(WriteSort(0, 3, 0));
    ASSERT_TRUE(WriteSongdockText(kBootCodeName, "/home/u/fw/boot code.hex"));
    ASSERT_TRUE(WriteSongdockText(kRawDataViewer, "  leading blanks and \"quotes\" \\ $HOME"));
    SetFileFilter("*.mp3");
    SaveFileFilter();
    // Paths are bytes: a folder name from old FAT media need not be UTF-8.
    SetLastDirectory("/srv/M\xfasica");
    SaveLastDirectory();
    ASSERT_TRUE(WriteSongdockText(kFontName, "/srv/música/lcd.fot"));

    EXPECT_EQ(GetWindowState(), 3);
    const Timeouts t = GetTimeouts();
    EXPECT_EQ(t.receive, 1000);
    EXPECT_EQ(t.send, 2000);
    EXPECT_EQ(t.format, 3000);
    EXPECT_EQ(GetRawDataRange().addr, 0xFFFFFFF0u);
    EXPECT_EQ(GetRawDataRange().count, 7u);
    EXPECT_EQ(GetROMSelect(), 2);
    EXPECT_EQ(GetAdpcmConvert(), 1);
    EXPECT_EQ(GetQdxConvert(), 1);
    EXPECT_EQ(GetColumnWidth(1, 2), 321);
    EXPECT_EQ(GetColumnWidth(0, 2), 100);
    EXPECT_EQ(GetColumnWidth(-1, 0), 55);
    EXPECT_EQ(GetSortKey(0), 3);
    EXPECT_EQ(GetSortAscendent(0), 0);
    EXPECT_EQ(GetSortKey(1), 0);
    char buffer[520];
    GetSongdockText(kBootCodeName, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "/home/u/fw/boot code.hex");
    GetSongdockText(kRawDataViewer, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "  leading blanks and \"quotes\" \\ $HOME");
    SetFileFilter("changed in memory only");
    LoadFileFilter();
    EXPECT_EQ(GetFileFilter(), "*.mp3");
    LoadLastDirectory();
    EXPECT_EQ(GetLastDirectory(), "/srv/M\xfasica");
    GetSongdockText(kFontName, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "/srv/música/lcd.fot");

    // The file keeps INI groups named after the sections; the application
    // key is the root group.
    const std::string text = ReadProfile();
    EXPECT_NE(text.find("WindowState=3"), std::string::npos);
    EXPECT_NE(text.find("[KDS520]"), std::string::npos);
    EXPECT_NE(text.find("[Mp3Mem_1]"), std::string::npos);
    EXPECT_NE(text.find("SubItemWidth_2=321"), std::string::npos);
    EXPECT_LT(text.find("WindowState"), text.find('['));
    EXPECT_NE(text.find("LastDirectory=/srv/M\xfasica\n"), std::string::npos);
}

TEST_F(SettingsTest, WrongTypesReadAsDefaults) {
    using namespace settings;
    WriteProfile("WindowState=maximised\n[KDS520]\nTIMEOUT_RECV=12abc\nTIMEOUT_SEND=\n"
                 "TIMEOUT_FORMAT=99999999999\n[Songdock]\nROMSelect=2\n");
    EXPECT_EQ(GetWindowState(), 5);
    EXPECT_EQ(GetTimeouts().receive, 30000);
    EXPECT_EQ(GetTimeouts().send, 20000);
    EXPECT_EQ(GetTimeouts().format, 300000);
    EXPECT_EQ(GetROMSelect(), 2);
}

TEST_F(SettingsTest, OneBadByteCostsOnlyItsOwnValue) {
    using namespace settings;
    // A byte-order mark, a path that is not UTF-8 and a number with a stray
    // byte: every other value still reads, and a write keeps every byte.
    const std::string profile = "\xEF\xBB\xBFWindowState=3\r\n[Desktop]\r\n"
                                "LastDirectory=/home/u/M\xfasica\r\nSortKey=2\xff\r\n"
                                "SortAscendent=0\r\n[KDS520]\r\nTIMEOUT_RECV=1000\r\n";
    WriteProfile(profile);
    EXPECT_EQ(GetWindowState(), 3);
    LoadLastDirectory();
    EXPECT_EQ(GetLastDirectory(), "/home/u/M\xfasica");
    EXPECT_EQ(GetSortKey(-1), 0);
    EXPECT_EQ(GetSortAscendent(-1), 0);
    EXPECT_EQ(GetTimeouts().receive, 1000);

    ASSERT_TRUE(WriteROMSelect(2));
    const std::string text = ReadProfile();
    EXPECT_NE(text.find("LastDirectory=/home/u/M\xfasica\n"), std::string::npos);
    EXPECT_NE(text.find("SortKey=2\xff\n"), std::string::npos);
    EXPECT_EQ(text.find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_EQ(GetWindowState(), 3);
    EXPECT_EQ(GetROMSelect(), 2);
    EXPECT_FALSE(platform::PathExists(ProfilePath() + ".damaged"));
}

TEST_F(SettingsTest, FileThatCannotBeReadIsKeptBeforeTheNextWrite) {
    using namespace settings;
    using namespace std::string_literals;
    const std::string damaged = ProfilePath() + ".damaged";
    // Garbage lines (binary bytes, an unclosed group, a line without "=")
    // among good ones: the good ones read, the file is kept as it was.
    const std::string profile = "WindowState=3\n\xff\xfe\x00garbage[[[\n=\n[KDS520\n"
                                "[Songdock]\njunk line\nROMSelect=2\n"s;
    WriteProfile(profile);
    EXPECT_EQ(GetWindowState(), 3);
    EXPECT_EQ(GetROMSelect(), 2);
    EXPECT_FALSE(platform::PathExists(damaged)) << "reading changes nothing";

    ASSERT_TRUE(WriteQdxConvert(1));
    std::string kept;
    ASSERT_TRUE(platform::ReadWholeFile(damaged, kept));
    EXPECT_EQ(kept, profile);
    EXPECT_EQ(ReadProfile().find("garbage"), std::string::npos);
    EXPECT_EQ(GetWindowState(), 3);
    EXPECT_EQ(GetROMSelect(), 2);
    EXPECT_EQ(GetQdxConvert(), 1);

    // Something that is no file at all is moved aside the same way.
    ASSERT_EQ(std::remove(ProfilePath().c_str()), 0);
    ASSERT_TRUE(platform::MakeDirectories(ProfilePath()));
    EXPECT_EQ(GetWindowState(), 5);
    ASSERT_TRUE(WriteWindowState(2));
    EXPECT_EQ(GetWindowState(), 2);
    struct stat st {};
    ASSERT_EQ(stat(damaged.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << "the folder was kept";
}

TEST_F(SettingsTest, UnwritableFolderLosesTheValueSilently) {
    using namespace settings;
    // A file where the company folder should be: nothing can be written.
    platform::MakeDirectories(home_ + "/config");
    std::ofstream(home_ + "/config/Zentrovia") << "not a folder";
    EXPECT_FALSE(WriteWindowState(2));
    EXPECT_EQ(GetWindowState(), 5);
}

TEST_F(SettingsTest, LastDirectoryIgnoresChangesWhileFrozen) {
    using namespace settings;
    SetLastDirectory("/first");
    SetLastDirectoryFrozen(true);
    EXPECT_TRUE(IsLastDirectoryFrozen());
    SetLastDirectory("/during/start-up");
    EXPECT_EQ(GetLastDirectory(), "/first");
    SetLastDirectoryFrozen(false);
    SetLastDirectory("/after");
    EXPECT_EQ(GetLastDirectory(), "/after");
}

TEST_F(SettingsTest, LongTextsAreCutWithoutSplittingCharacters) {
    using namespace settings;
    // "é" is two bytes, "한" three: a limit that falls inside either must
    // drop the whole character and still terminate the buffer.
    const std::string name = "abcé한z";
    ASSERT_TRUE(WriteSongdockText(kBootCodeName, name));
    char buffer[16];
    struct Case {
        size_t limit;
        const char* expected;
    } cases[] = {{1, ""},     {4, "abc"},    {5, "abc"},      {6, "abcé"},    {7, "abcé"},
                 {8, "abcé"}, {9, "abcé한"}, {10, "abcé한z"}, {16, "abcé한z"}};
    for (const Case& c : cases) {
        std::memset(buffer, 'X', sizeof buffer);
        const size_t n = GetSongdockText(kBootCodeName, buffer, c.limit);
        EXPECT_STREQ(buffer, c.expected) << "limit " << c.limit;
        EXPECT_EQ(n, std::strlen(c.expected));
    }
    EXPECT_EQ(GetSongdockText(kBootCodeName, buffer, 0), 0u);
    EXPECT_EQ(buffer[0], 'a'); // limit 0 leaves the buffer alone
    EXPECT_EQ(CutUtf8(std::string(600, 'x'), 520).size(), 519u);
    // Key names of a pane are cut to their buffer too.
    EXPECT_EQ(std::strlen(PaneKeyName(std::string(200, 'k').c_str(), 12345)), 99u);
}

TEST_F(SettingsTest, ConcurrentWritersKeepEveryValue) {
    using namespace settings;
    constexpr int kWriters = 4, kKeys = 25;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string section = "Writer" + std::to_string(w);
            for (int k = 0; k < kKeys; ++k)
                WriteInt(section.c_str(), ("Key" + std::to_string(k)).c_str(), w * 1000 + k);
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w) {
        const std::string section = "Writer" + std::to_string(w);
        for (int k = 0; k < kKeys; ++k)
            EXPECT_EQ(GetInt(section.c_str(), ("Key" + std::to_string(k)).c_str(), -1),
                      w * 1000 + k);
    }
}

} // namespace
