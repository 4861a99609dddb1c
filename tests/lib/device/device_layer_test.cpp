// The device layer against the scripted fake library.
#include "lib/device/device_layer.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "device_test_support.h"
#include "fake_kd5200usb.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"
#include "views/player/copy_options.h"

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using devtest::Matching;
using testing::ElementsAre;

namespace {

// The fake's control functions, from the same module the device layer loads.
struct FakeControl {
    void* module = nullptr;
    decltype(&FakeKD5200_Reset) Reset = nullptr;
    decltype(&FakeKD5200_Script) Script = nullptr;
    decltype(&FakeKD5200_Log) Log = nullptr;
    decltype(&FakeKD5200_SetMemory) SetMemory = nullptr;
    decltype(&FakeKD5200_SetFirmwareVersion) SetFirmwareVersion = nullptr;
    decltype(&FakeKD5200_GetTimeouts) GetTimeouts = nullptr;

    FakeControl() {
        module = dlopen(SD_FAKE_KD5200USB_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!module) return;
        Bind("FakeKD5200_Reset", Reset);
        Bind("FakeKD5200_Script", Script);
        Bind("FakeKD5200_Log", Log);
        Bind("FakeKD5200_SetMemory", SetMemory);
        Bind("FakeKD5200_SetFirmwareVersion", SetFirmwareVersion);
        Bind("FakeKD5200_GetTimeouts", GetTimeouts);
    }
    template <typename Fn> void Bind(const char* name, Fn& fn) {
        fn = reinterpret_cast<Fn>(dlsym(module, name));
    }
};

FakeControl& Fake() {
    static FakeControl fake;
    return fake;
}

KD5200_DIRENTRY Entry(const char* base, const char* ext, uint32_t size, const char* longName = "") {
    KD5200_DIRENTRY e{};
    std::snprintf(e.name, sizeof e.name, "%-8s", base);
    std::snprintf(e.ext, sizeof e.ext, "%-3s", ext);
    e.size = size;
    std::snprintf(e.longName, sizeof e.longName, "%s", longName);
    return e;
}

struct Listed {
    std::string name;
    int32_t number;
    uint32_t size;
    bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& l, std::ostream* os) {
    *os << "{" << l.name << ", " << l.number << ", " << l.size << "}";
}

// A text argument as the fake's call log shows it.
std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

std::vector<Listed> List(int memory, bool force) {
    HDirEntryList list;
    std::vector<Listed> out;
    if (!DevListFiles(memory, list, force)) return out;
    for (const auto& e : list)
        out.push_back({e.name.value_or("<null>"), e.number, e.size});
    return out;
}

class DeviceLayer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Fake().module) << dlerror();
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        setenv("KD5200USB_LIBRARY", SD_FAKE_KD5200USB_PATH, 1);
        Fake().Reset();
        log_offset_ = 0;
        SetMemory(
            0, 100, 10,
            {Entry("REC01", "QKA", 1000), Entry("MEMO", "QDX", 2000), Entry("SONG", "MP3", 3000)});
        SetMemory(1, 50, 0, {Entry("A", "MP3", 10)});
        DevInit();
        DevSetMainWindow(nullptr);
        ASSERT_TRUE(DevLibraryLoaded()) << DevLibraryError();
    }
    void TearDown() override {
        DevExit();
        unsetenv("KD5200USB_LIBRARY");
    }

    static void SetMemory(int memory, uint32_t capacity, uint32_t used,
                          const std::vector<KD5200_DIRENTRY>& entries) {
        const KD5200_MEMINFO info{static_cast<uint32_t>(entries.size()), capacity, used};
        Fake().SetMemory(memory, &info, entries.data(), static_cast<int32_t>(entries.size()));
    }
    // Connects reading both directories and forgets the calls made so far.
    void Connect() {
        int count = 0, mask = 0;
        ASSERT_TRUE(DevConnect(true, &count, &mask));
        ClearLog();
    }
    static void ClearLog() { log_offset_ = std::strlen(Fake().Log()); }
    static std::string Log() { return std::string(Fake().Log()).substr(log_offset_); }
    static std::vector<std::string> Calls(const std::string& name) {
        return Matching(Log(), name + "(");
    }

    devtest::TempDir config_;
    devtest::TempDir folder_;
    devtest::ScriptedBoxes boxes_;
    static inline size_t log_offset_ = 0;
};

HNameList& Add(HNameList& list, const char* name, int32_t number, uint32_t size,
               const char* second = nullptr) {
    list.Add(name, number, size, second);
    return list;
}

// Makes memory 0 hold the files of an upload list at their numbers, as the
// listing the list came from showed them (other numbers hold filler): each
// file is checked before its copy.
const HNameList& Held(const HNameList& list) {
    std::vector<KD5200_DIRENTRY> entries;
    for (const HNameList::Entry& e : list) {
        const auto at = static_cast<size_t>(e.value1);
        if (entries.size() <= at) entries.resize(at + 1, Entry("FILL", "BIN", 1));
        entries[at] = Entry("", "", e.value2, e.name.c_str());
    }
    const KD5200_MEMINFO info{static_cast<uint32_t>(entries.size()), 100, 10};
    Fake().SetMemory(0, &info, entries.data(), static_cast<int32_t>(entries.size()));
    return list;
}

// ---- Connection and time-outs ---------------------------------------------

TEST_F(DeviceLayer, ConnectReadsBothMemoriesWithRoomFor512Entries) {
    SetMemory(1, 0, 0, {});
    ClearLog();
    int count = -1, mask = -1;
    ASSERT_TRUE(DevConnect(true, &count, &mask));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(mask, 1); // the external memory reports no capacity
    EXPECT_THAT(Calls("KD5200_Refresh"),
                ElementsAre("KD5200_Refresh(h, 0, 512)", "KD5200_Refresh(h, 1, 512)"));
    EXPECT_THAT(Calls("KD5200_SetError"), ElementsAre("KD5200_SetError(12)"));
    EXPECT_FALSE(DevIsStale(0));
    EXPECT_FALSE(DevIsStale(1));
    EXPECT_EQ(DevGetEntryCount(0), 3);

    // Every later read offers the full 512 again, not the last count.
    ClearLog();
    EXPECT_EQ(List(0, true).size(), 3u);
    EXPECT_TRUE(DevRefreshMemory(0));
    EXPECT_THAT(Calls("KD5200_Refresh"),
                ElementsAre("KD5200_Refresh(h, 0, 512)", "KD5200_Refresh(h, 0, 512)"));
}

TEST_F(DeviceLayer, ConnectKeepsAnAnsweringPlayerAndReopensASilentOne) {
    Connect();
    int count = 99, mask = 99;
    EXPECT_TRUE(DevConnect(true, &count, &mask));
    EXPECT_EQ(count, 99);
    EXPECT_EQ(mask, 99);
    EXPECT_TRUE(Calls("KD5200_Open").empty());

    Fake().Script("KD5200_TestConnection 0 20");
    ClearLog();
    EXPECT_TRUE(DevConnect(false, &count, &mask));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(mask, 0);
    EXPECT_THAT(Matching(Log(), "KD5200_"),
                ElementsAre("KD5200_IsValidHandle(h)", "KD5200_TestConnection()", "KD5200_Close(h)",
                            "KD5200_Open(ptr)"));
    EXPECT_NE(DevGetHandle(), nullptr);

    // The player answers but the handle fails (opened before an unplug):
    // closed, opened again and both memories read anew. A library without a
    // plug generation (as this one) is found out by its handle alone.
    EXPECT_EQ(DevGetPlugGeneration(), -1);
    Fake().Script("KD5200_Refresh 0 40");
    ClearLog();
    EXPECT_TRUE(DevConnect(true, &count, &mask));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(mask, 3);
    EXPECT_THAT(Matching(Log(), "KD5200_"),
                ElementsAre("KD5200_IsValidHandle(h)", "KD5200_TestConnection()",
                            "KD5200_Refresh(h, 0, 1)", "KD5200_Close(h)", "KD5200_Open(ptr)",
                            "KD5200_Refresh(h, 0, 512)", "KD5200_Refresh(h, 1, 512)"));
}

TEST_F(DeviceLayer, ConnectFailsWithoutPlayerOrWhenOpenFails) {
    Fake().Script("KD5200_TestConnection 0 20");
    int count = 7, mask = 7;
    EXPECT_FALSE(DevConnect(true, &count, &mask));
    EXPECT_TRUE(Calls("KD5200_Open").empty());
    Fake().Script("KD5200_Open 0 20");
    EXPECT_FALSE(DevConnect(true, &count, &mask));
    EXPECT_EQ(count, 7);
    EXPECT_EQ(DevGetHandle(), nullptr);

    // A handle the library has dropped is not kept: the operations then
    // report "no player" instead of passing it on.
    Connect();
    Fake().Script("KD5200_IsValidHandle 0");
    Fake().Script("KD5200_TestConnection 0 20");
    EXPECT_FALSE(DevConnect(true, &count, &mask));
    EXPECT_EQ(DevGetHandle(), nullptr);
    EXPECT_EQ(DevDeleteFile(nullptr, 0, 0, "a"), 3);
    EXPECT_TRUE(Calls("KD5200_Delete").empty());
}

TEST_F(DeviceLayer, TimeoutsComeFromAndGoBackToTheSettings) {
    DevExit();
    settings::WriteTimeouts({1111, 2222, 3333});
    Fake().Reset();
    DevInit();
    int32_t receive = 0, send = 0;
    Fake().GetTimeouts(&receive, &send);
    EXPECT_EQ(receive, 1111);
    EXPECT_EQ(send, 2222);
    EXPECT_EQ(DevGetTimeouts().format, 3333);
    EXPECT_THAT(Matching(Fake().Log(), "KD5200_"), ElementsAre("KD5200_SetTimeout(1111, 2222)"));

    DevSetTimeouts(5, 6, 7);
    Fake().GetTimeouts(&receive, &send);
    EXPECT_EQ(receive, 5);
    EXPECT_EQ(send, 6);
    DevExit();
    const settings::Timeouts saved = settings::GetTimeouts();
    EXPECT_EQ(saved.receive, 5);
    EXPECT_EQ(saved.send, 6);
    EXPECT_EQ(saved.format, 7);
    DevInit();
}

TEST_F(DeviceLayer, ExitFreesTheLibraryWithOrWithoutAConnection) {
    ClearLog();
    DevExit();
    EXPECT_THAT(Matching(Log(), "KD5200_"), ElementsAre("KD5200_Free(null)"));
    EXPECT_FALSE(DevLibraryLoaded());

    DevInit();
    Connect();
    DevExit();
    EXPECT_THAT(Matching(Log(), "KD5200_"), ElementsAre("KD5200_Close(h)", "KD5200_Free(h)"));
    EXPECT_EQ(DevGetHandle(), nullptr);
    DevInit();
}

// ---- Listing --------------------------------------------------------------

TEST_F(DeviceLayer, NoCapacityMeansNoListing) {
    SetMemory(1, 0, 0, {Entry("GHOST", "MP3", 1)});
    Connect();
    EXPECT_FALSE(DevRefreshMemory(1));
    EXPECT_EQ(DevApi().GetError(), 12);
    EXPECT_EQ(DevGetEntryCount(1), 0);
    EXPECT_EQ(DevGetFileCount(1), 0);
    uint64_t capacity = 1, free = 1;
    EXPECT_FALSE(DevGetMemorySpace(1, &capacity, &free));
    HDirEntryList list;
    EXPECT_FALSE(DevListFiles(1, list, true));
    EXPECT_TRUE(list.IsEmpty());

    Fake().Script("KD5200_Refresh 0 35");
    EXPECT_FALSE(DevRefreshMemory(0));
    EXPECT_EQ(DevApi().GetError(), 4);
    EXPECT_EQ(DevGetCapacityBlocks(0), 0u);
}

TEST_F(DeviceLayer, ListingTrimsShortNamesAndPrefersLongNames) {
    SetMemory(0, 100, 3,
              {Entry("REC01", "QKA", 1000), Entry("README", "", 20),
               Entry("ALONGN~1", "MP3", 30, "A long name.mp3"), Entry("X", "C", 4)});
    Connect();
    EXPECT_THAT(List(0, true), ElementsAre(Listed{"REC01.QKA", 0, 1000}, Listed{"README", 1, 20},
                                           Listed{"A long name.mp3", 2, 30}, Listed{"X.C", 3, 4}));
    EXPECT_EQ(DevGetFileCount(0), 4);
}

TEST_F(DeviceLayer, MemorySpaceInBytesBeyondFourGigabytes) {
    SetMemory(1, 0x40000, 0x10000, {});
    Connect();
    uint64_t capacity = 0, free = 0;
    ASSERT_TRUE(DevGetMemorySpace(1, &capacity, &free));
    EXPECT_EQ(capacity, uint64_t{0x40000} << 14);
    EXPECT_EQ(free, uint64_t{0x30000} << 14);
}

TEST_F(DeviceLayer, ListingRereadsOnlyStaleOrForced) {
    Connect();
    EXPECT_EQ(List(0, false).size(), 3u);
    EXPECT_TRUE(Calls("KD5200_Refresh").empty());
    DevSetStale(0, true);
    EXPECT_EQ(List(0, false).size(), 3u);
    EXPECT_EQ(Calls("KD5200_Refresh").size(), 1u);
    EXPECT_FALSE(DevIsStale(0));

    DevClose();
    EXPECT_TRUE(List(0, true).empty());
    EXPECT_EQ(DevGetFileCount(0), 0);
    EXPECT_EQ(DevGetFileCount(2), 0);
    EXPECT_EQ(Calls("KD5200_Refresh").size(), 1u);
}

// ---- Upload (player to PC) --------------------------------------------------

struct ConversionCase {
    const char* name;
    int adpcmSetting;
    int qdxSetting;
    const char* pcName;
    const char* playerName; // "null" when none is passed
    int kind;
};

class UploadConversion : public DeviceLayer, public testing::WithParamInterface<ConversionCase> {};

TEST_P(UploadConversion, RenamesAndConvertsRecordingsBySetting) {
    const ConversionCase& c = GetParam();
    settings::WriteAdpcmConvert(c.adpcmSetting);
    settings::WriteQdxConvert(c.qdxSetting);
    Connect();
    HNameList list;
    ASSERT_EQ(DevUploadFiles(nullptr, 0, folder_.path().c_str(), Held(Add(list, c.name, 2, 77)),
                             player::CopyOptions())
                  .code,
              0);
    const std::string player = std::string(c.playerName) == "null" ? "null" : Quoted(c.playerName);
    std::string expected = "KD5200_Upload(null, h, 0, 2, ";
    expected += Quoted(folder_ / c.pcName);
    expected += ", " + player + ", 77, " + std::to_string(c.kind) + ")";
    EXPECT_THAT(Calls("KD5200_Upload"), ElementsAre(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, UploadConversion,
    testing::Values(ConversionCase{"REC01.QKA", 0, 0, "REC01.WAV", "REC01.QKA", 1},
                    ConversionCase{"REC01.QKA", 1, 0, "REC01.QKA", "null", 0},
                    ConversionCase{"memo.qdx", 0, 0, "memo.WAV", "memo.qdx", 2},
                    ConversionCase{"Memo.QdX", 1, 1, "Memo.QdX", "null", 0},
                    ConversionCase{"rec.qka", 0, 1, "rec.WAV", "rec.qka", 1},
                    ConversionCase{"song.mp3", 0, 0, "song.mp3", "null", 0},
                    ConversionCase{"QKA", 0, 0, "QKA", "null", 0},
                    ConversionCase{"a.qka.mp3", 0, 0, "a.qka.mp3", "null", 0}),
    [](const testing::TestParamInfo<ConversionCase>& info) {
        return "Case" + std::to_string(info.index);
    });

TEST_F(DeviceLayer, SizesOf2GiBAndMoreReachTheLibraryUnsigned) {
    SetMemory(0, 1u << 20, 1u << 18,
              {Entry("HALF", "BIN", 1u << 31), Entry("FULL", "BIN", UINT32_MAX)});
    Connect();
    // The pane passes on what the listing says.
    HDirEntryList listed;
    ASSERT_TRUE(DevListFiles(0, listed, true));
    HNameList list;
    for (const auto& e : listed)
        list.Add(e.name->c_str(), e.number, e.size);
    ASSERT_EQ(DevUploadFiles(nullptr, 0, folder_.path().c_str(), list, player::CopyOptions()).code,
              0);
    EXPECT_THAT(Calls("KD5200_Upload"),
                ElementsAre("KD5200_Upload(null, h, 0, 0, \"" + (folder_ / "HALF.BIN") +
                                "\", null, 2147483648, 0)",
                            "KD5200_Upload(null, h, 0, 1, \"" + (folder_ / "FULL.BIN") +
                                "\", null, 4294967295, 0)"));
}

TEST_F(DeviceLayer, UploadTargetPaths) {
    Connect();
    HNameList list;
    Held(Add(list, "a.mp3", 0, 1, "A.MP3"));
    const std::string withSlash = folder_.path() + "/";
    EXPECT_EQ(DevUploadFiles(nullptr, 0, withSlash.c_str(), list, player::CopyOptions()).code, 0);
    EXPECT_EQ(DevUploadFiles(nullptr, 0, nullptr, list, player::CopyOptions()).code, 0);
    EXPECT_THAT(Calls("KD5200_Upload"),
                ElementsAre("KD5200_Upload(null, h, 0, 0, \"" + (folder_ / "a.mp3") +
                                "\", \"A.MP3\", 1, 0)",
                            "KD5200_Upload(null, h, 0, 0, \"a.mp3\", \"A.MP3\", 1, 0)"));
}

TEST_F(DeviceLayer, PlayerNamesNeverLeaveTheChosenFolder) {
    struct Case {
        const char* name;
        const char* safe;
    };
    const Case cases[] = {{"../evil.mp3", ".._evil.mp3"},
                          {"a/../../x.mp3", "a_.._.._x.mp3"},
                          {"/etc/passwd", "_etc_passwd"},
                          {"C:\\boot.ini", "C__boot.ini"},
                          {"..", "_"},
                          {".", "_"},
                          {"", "_"},
                          {".hidden.mp3", ".hidden.mp3"},
                          {"...", "..."},
                          {"dir\\REC.QKA", "dir_REC.WAV"}};
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HNameList list;
        ClearLog();
        ASSERT_EQ(DevUploadFiles(nullptr, 0, folder_.path().c_str(), Held(Add(list, c.name, 1, 5)),
                                 player::CopyOptions())
                      .code,
                  0);
        const auto uploads = Calls("KD5200_Upload");
        ASSERT_EQ(uploads.size(), 1u);
        // The player's own name goes along only when the PC name differs.
        const std::string player = std::string(c.safe) == c.name ? "null" : Quoted(c.name);
        const std::string expected = Quoted(folder_ / c.safe) + ", " + player;
        EXPECT_NE(uploads[0].find(expected), std::string::npos) << uploads[0];
    }
    EXPECT_EQ(DevTargetPath(nullptr, "../../x"), ".._.._x");
}

TEST_F(DeviceLayer, OverwriteQuestionCancelNoAndYes) {
    const std::vector<KD5200_DIRENTRY> files = {Entry("ONE", "MP3", 1), Entry("TWO", "MP3", 1),
                                                Entry("THREE", "MP3", 1), Entry("FOUR", "MP3", 1)};
    SetMemory(0, 100, 4, files);
    Connect();
    for (const char* name : {"ONE.MP3", "TWO.MP3", "THREE.MP3"})
        devtest::WriteFile(folder_ / name, "old");
    HNameList list;
    Add(list, "ONE.MP3", 0, 1);
    Add(list, "TWO.MP3", 1, 1);
    Add(list, "THREE.MP3", 2, 1);
    Add(list, "FOUR.MP3", 3, 1);

    boxes_.answers = {platform::kIdNo, platform::kIdYes, platform::kIdCancel};
    EXPECT_EQ(DevUploadFiles(nullptr, 0, folder_.path().c_str(), list, player::CopyOptions()).code,
              KD5200_ERR_CANCELLED);
    EXPECT_EQ(DevGetFilesCopied(), 1);
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[0].text, strings::Load(sid::kOverwrite));
    EXPECT_EQ(boxes_.shown[0].caption, folder_ / "ONE.MP3");
    // More files are to come: the question offers "Yes to All" and "No to All" too.
    EXPECT_EQ(boxes_.shown[0].style, platform::kMbYesNoToAllCancel | platform::kMbIconQuestion);
    EXPECT_EQ(boxes_.shown[2].caption, folder_ / "THREE.MP3");
    // No skipped one, Yes copied two, Cancel ended before three and four.
    const auto uploads = Calls("KD5200_Upload");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_NE(uploads[0].find("TWO.MP3"), std::string::npos);
    EXPECT_TRUE(Calls("KD5200_DispError").empty());
    EXPECT_TRUE(DevIsStale(0));

    // The entry is checked again after the question: when the player
    // changed meanwhile, Yes copies nothing and says so, naming the file.
    ClearLog();
    boxes_.shown.clear();
    boxes_.answers = {platform::kIdYes};
    boxes_.whileOpen = [&] {
        SetMemory(0, 100, 3, {files[0], files[2], files[3]}); // TWO deleted elsewhere
    };
    HNameList two;
    EXPECT_EQ(DevUploadFiles(nullptr, 0, folder_.path().c_str(), Add(two, "TWO.MP3", 1, 1),
                             player::CopyOptions())
                  .code,
              KD5200_ERR_NO_ENTRY);
    EXPECT_TRUE(Calls("KD5200_Upload").empty());
    EXPECT_TRUE(Calls("KD5200_DispError").empty());
    // One file alone: Yes, No and Cancel.
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[0].style, platform::kMbYesNoCancel | platform::kMbIconQuestion);
    EXPECT_EQ(boxes_.shown[1].text,
              "The player changed while the question was open; nothing was done.");
    EXPECT_EQ(boxes_.shown[1].secondary, "TWO.MP3");
}

TEST_F(DeviceLayer, UploadStopsAtTheFirstFailureAndNeverShowsCancel) {
    Connect();
    HNameList list;
    Add(list, "a.mp3", 0, 1);
    Add(list, "b.mp3", 1, 1);
    Held(Add(list, "c.mp3", 2, 1));
    Fake().Script("KD5200_Upload 1");
    Fake().Script("KD5200_Upload 0 27 13");
    int parent = 0;
    EXPECT_EQ(DevUploadFiles(&parent, 0, folder_.path().c_str(), list, player::CopyOptions()).code,
              27);
    EXPECT_EQ(Calls("KD5200_Upload").size(), 2u);
    EXPECT_THAT(Calls("KD5200_DispError"), ElementsAre("KD5200_DispError(ptr, 27, 13)"));

    ClearLog();
    Fake().Script("KD5200_Upload 0 14");
    EXPECT_EQ(DevUploadFiles(&parent, 0, folder_.path().c_str(), list, player::CopyOptions()).code,
              14);
    EXPECT_EQ(Calls("KD5200_Upload").size(), 1u);
    EXPECT_TRUE(Calls("KD5200_DispError").empty());

    // A caller that says failures in its own words: nothing is shown, and
    // the results tell which file failed and how.
    ClearLog();
    Fake().Script("KD5200_Upload 1");
    Fake().Script("KD5200_Upload 0 27 13");
    DevCopyOptions quiet;
    quiet.show = false;
    const DevCopyResult result = DevUploadFiles(&parent, 0, folder_.path().c_str(), list, quiet);
    EXPECT_EQ(result.code, 27);
    ASSERT_EQ(result.files.size(), 2u);
    EXPECT_EQ(result.files[0].end, DevCopyEnd::kCopied);
    EXPECT_EQ(result.files[1].end, DevCopyEnd::kFailed);
    EXPECT_EQ(result.files[1].systemError, 13);
    EXPECT_TRUE(result.files[1].pcSide);
    EXPECT_TRUE(Calls("KD5200_DispError").empty());
    // Without a policy, a PC file there already stops the copy and stays.
    devtest::WriteFile(folder_ / "a.mp3", "old");
    const DevCopyResult kept = DevUploadFiles(&parent, 0, folder_.path().c_str(), list, quiet);
    EXPECT_EQ(kept.code, KD5200_ERR_CANCELLED);
    EXPECT_TRUE(kept.files.empty());
    EXPECT_EQ(devtest::ReadFile(folder_ / "a.mp3"), "old");
    // The next copy that shows its failures shows them again.
    Fake().Script("KD5200_Upload 0 27 13");
    EXPECT_EQ(DevUploadFiles(&parent, 0, folder_.path().c_str(), list, player::CopyOptions()).code,
              27);
    EXPECT_THAT(Calls("KD5200_DispError"), ElementsAre("KD5200_DispError(ptr, 27, 13)"));
}

TEST_F(DeviceLayer, OperationsWithoutPlayerOrDirectoryReportAndStop) {
    HNameList list;
    Add(list, "a.mp3", 0, 1);
    int parent = 0;
    EXPECT_EQ(DevUploadFiles(&parent, 0, folder_.path().c_str(), list, player::CopyOptions()).code,
              3);
    EXPECT_EQ(DevDownloadFiles(&parent, 0, list, player::CopyOptions()).code, 3);
    EXPECT_EQ(DevDeleteFile(&parent, 0, 0, "a"), 3);
    EXPECT_EQ(DevFormat(&parent, 0), 3);
    EXPECT_EQ(DevMoveEntry(0, 1, 0), 3);
    EXPECT_EQ(DevRenameEntry(0, 1, "b"), 3);
    EXPECT_THAT(Calls("KD5200_DispError"),
                ElementsAre("KD5200_DispError(ptr, 3, 0)", "KD5200_DispError(ptr, 3, 0)",
                            "KD5200_DispError(ptr, 3, 0)", "KD5200_DispError(ptr, 3, 0)",
                            "KD5200_DispError(null, 3, 0)", "KD5200_DispError(null, 3, 0)"));
    EXPECT_TRUE(Calls("KD5200_Refresh").empty());

    Connect();
    SetMemory(1, 0, 0, {});
    EXPECT_EQ(DevUploadFiles(&parent, 1, folder_.path().c_str(), list, player::CopyOptions()).code,
              12);
    EXPECT_EQ(DevMoveEntry(1, 1, 0), 12);
    EXPECT_THAT(Calls("KD5200_DispError"),
                ElementsAre("KD5200_DispError(ptr, 12, 0)", "KD5200_DispError(null, 12, 0)"));
    EXPECT_TRUE(Calls("KD5200_Upload").empty());
    EXPECT_TRUE(Calls("KD5200_Replace").empty());
}

// ---- Download (PC to player) ---------------------------------------------------

TEST_F(DeviceLayer, DownloadGoesOnAfterCodeZeroAndStopsAtARealFailure) {
    Connect();
    HNameList list;
    for (const char* path : {"/p/a.mp3", "/p/b.mp3", "/p/c.mp3", "/p/d.mp3"})
        Add(list, path, 0, 0);
    Fake().Script("KD5200_Download 0 0");
    Fake().Script("KD5200_Download 0 22");
    EXPECT_EQ(DevDownloadFiles(nullptr, 1, list, player::CopyOptions()).code, 22);
    EXPECT_THAT(Calls("KD5200_Download"), ElementsAre("KD5200_Download(null, h, 1, \"/p/a.mp3\")",
                                                      "KD5200_Download(null, h, 1, \"/p/b.mp3\")"));
    EXPECT_THAT(Calls("KD5200_DispError"), ElementsAre("KD5200_DispError(null, 22, 0)"));
    EXPECT_TRUE(DevIsStale(1));

    ClearLog();
    Fake().Script("KD5200_Download 0 14");
    EXPECT_EQ(DevDownloadFiles(nullptr, 1, list, player::CopyOptions()).code, 14);
    EXPECT_TRUE(Calls("KD5200_DispError").empty());
}

// A verified copy reads back the entry its download added at the end. When
// another program changed the memory meanwhile, the last entry may be some
// other file: it is neither read back nor deleted, and the copy is said to
// be kept unchecked.
TEST_F(DeviceLayer, AVerifiedCopyNeverChecksOrDeletesAnotherProgramsFile) {
    settings::WriteVerifyCopies(true);
    Connect();
    const std::string song = folder_.path() + "/new.mp3";
    devtest::WriteFile(song, std::string(10, 'n'));
    // The memory still holds one file after the download: the other's, of the same size.
    HNameList list;
    Add(list, song.c_str(), 0, 10);
    EXPECT_NE(DevDownloadFiles(nullptr, 1, list, player::CopyOptions()).code, 0);
    EXPECT_EQ(Calls("KD5200_Download").size(), 1u);
    EXPECT_TRUE(Calls("KD5200_Upload").empty());
    EXPECT_TRUE(Calls("KD5200_Delete").empty());
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find("Another program changed the player"), std::string::npos)
        << boxes_.shown[0].text;
    EXPECT_EQ(DevGetFilesCopied(), 1);
    settings::WriteVerifyCopies(false);
}

// ---- Delete, format, move, rename ----------------------------------------------

TEST_F(DeviceLayer, DeleteMarksStaleOnlyOnSuccess) {
    Connect();
    Fake().Script("KD5200_Delete 0 23");
    EXPECT_EQ(DevDeleteFile(nullptr, 0, 9, "X.MP3"), 23);
    EXPECT_FALSE(DevIsStale(0));
    EXPECT_EQ(DevDeleteFile(nullptr, 0, 1, "MEMO.QDX"), 0);
    EXPECT_TRUE(DevIsStale(0));
    EXPECT_THAT(Calls("KD5200_Delete"), ElementsAre("KD5200_Delete(null, h, 0, 9, \"X.MP3\")",
                                                    "KD5200_Delete(null, h, 0, 1, \"MEMO.QDX\")"));
    EXPECT_THAT(Calls("KD5200_DispError"), ElementsAre("KD5200_DispError(null, 23, 0)"));
}

TEST_F(DeviceLayer, FormatRunsUnderTheFormatTimeoutAndRestoresIt) {
    DevSetTimeouts(1000, 2000, 3000);
    Connect();
    EXPECT_EQ(DevFormat(nullptr, 1), 0);
    Fake().Script("KD5200_FormatLow 0 28 110");
    EXPECT_EQ(DevFormatLow(nullptr, 0), 28);
    Fake().Script("KD5200_Format 0 14");
    EXPECT_EQ(DevFormat(nullptr, 0), 14);
    const std::vector<std::string> calls = Matching(Log(), "KD5200_");
    const std::vector<std::string> relevant = [&] {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.find("Refresh") == std::string::npos) out.push_back(c);
        return out;
    }();
    EXPECT_THAT(relevant,
                ElementsAre("KD5200_SetTimeout(3000, 2000)", "KD5200_Format(null, h, 1)",
                            "KD5200_SetTimeout(1000, 2000)", "KD5200_SetTimeout(3000, 2000)",
                            "KD5200_FormatLow(null, h, 0)", "KD5200_SetTimeout(1000, 2000)",
                            "KD5200_DispError(null, 28, 110)", "KD5200_SetTimeout(3000, 2000)",
                            "KD5200_Format(null, h, 0)", "KD5200_SetTimeout(1000, 2000)"));
    EXPECT_TRUE(DevIsStale(0));
    EXPECT_TRUE(DevIsStale(1));
}

TEST_F(DeviceLayer, MoveAndRenameReturnOneWhateverTheLibrarySays) {
    Connect();
    Fake().Script("KD5200_Replace 0 23");
    EXPECT_EQ(DevMoveEntry(0, 2, 1), 1);
    EXPECT_TRUE(DevIsStale(0));
    Fake().Script("KD5200_Rename 0 25");
    EXPECT_EQ(DevRenameEntry(1, 0, "new.mp3"), 1);
    EXPECT_TRUE(DevIsStale(1));
    Fake().Script("KD5200_Rename 0 0");
    EXPECT_EQ(DevRenameEntry(1, 0, "again.mp3"), 1);
    EXPECT_THAT(Calls("KD5200_Replace"), ElementsAre("KD5200_Replace(h, 0, 2, 1)"));
    EXPECT_THAT(Calls("KD5200_Rename"), ElementsAre("KD5200_Rename(h, 1, 0, \"new.mp3\", ptr)",
                                                    "KD5200_Rename(h, 1, 0, \"again.mp3\", ptr)"));
    // Rename works on the cached directory: no re-read. Failures with code 0 stay silent.
    EXPECT_EQ(Calls("KD5200_Refresh").size(), 1u);
    EXPECT_THAT(Calls("KD5200_DispError"),
                ElementsAre("KD5200_DispError(null, 23, 0)", "KD5200_DispError(null, 25, 0)"));
}

TEST_F(DeviceLayer, EveryChangingOperationMarksOnlyItsMemoryStale) {
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"upload",
         [&] {
             HNameList l;
             DevUploadFiles(nullptr, 1, folder_.path().c_str(), Add(l, "a.mp3", 0, 1),
                            player::CopyOptions())
                 .code;
         }},
        {"download",
         [] {
             HNameList l;
             DevDownloadFiles(nullptr, 1, Add(l, "/p/a.mp3", 0, 0), player::CopyOptions()).code;
         }},
        {"delete", [] { DevDeleteFile(nullptr, 1, 0, "A.MP3"); }},
        {"format", [] { DevFormat(nullptr, 1); }},
        {"low format", [] { DevFormatLow(nullptr, 1); }},
        {"move", [] { DevMoveEntry(1, 0, 1); }},
        {"rename", [] { DevRenameEntry(1, 0, "b.mp3"); }},
    };
    Connect();
    for (const auto& [name, run] : operations) {
        SCOPED_TRACE(name);
        DevRefreshMemory(0);
        DevRefreshMemory(1);
        ASSERT_FALSE(DevIsStale(1));
        run();
        EXPECT_TRUE(DevIsStale(1));
        EXPECT_FALSE(DevIsStale(0));
    }
}

// ---- Firmware version, overwrite question, extension replacement --------------

TEST_F(DeviceLayer, FirmwareVersionIsCutTo63Characters) {
    const std::string longText(80, 'v');
    Fake().SetFirmwareVersion(longText.c_str());
    ASSERT_NE(DevGetFirmwareVersion(), nullptr);
    EXPECT_EQ(std::string(DevGetFirmwareVersion()), longText.substr(0, 63));
    Fake().SetFirmwareVersion("");
    EXPECT_STREQ(DevGetFirmwareVersion(), "");
    Fake().SetFirmwareVersion(nullptr);
    EXPECT_EQ(DevGetFirmwareVersion(), nullptr);
}

TEST_F(DeviceLayer, OverwriteQuestionIsOwnedByTheMainWindow) {
    int window = 0;
    DevSetMainWindow(&window);
    boxes_.answers = {platform::kIdNo};
    EXPECT_EQ(DevAskOverwrite("/tmp/x.dat"), platform::kIdNo);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].owner, &window);
    EXPECT_EQ(boxes_.shown[0].caption, "/tmp/x.dat");
    EXPECT_EQ(boxes_.shown[0].text, "Already exist the file.\nWill you overwrite?");
    EXPECT_EQ(boxes_.shown[0].secondary, "/tmp/x.dat");
}

TEST(DevReplaceExtension, MatchesTheLastExtensionIgnoringCase) {
    char out[260];
    EXPECT_TRUE(DevReplaceExtension("rec.QkA", "qka", "WAV", out, sizeof out));
    EXPECT_STREQ(out, "rec.WAV");
    EXPECT_TRUE(DevReplaceExtension("/a.b/c:d\\rec.qka", "QKA", "WAV", out, sizeof out));
    EXPECT_STREQ(out, "/a.b/c:d\\rec.WAV");
    for (const char* name : {"rec.qkaa", "rec.qk", ".qka", "qka", "dir.qka/rec", "d:qka", ""}) {
        SCOPED_TRACE(name);
        std::strcpy(out, "untouched");
        EXPECT_FALSE(DevReplaceExtension(name, "QKA", "WAV", out, sizeof out));
        EXPECT_STREQ(out, "untouched");
    }
}

TEST(DevReplaceExtension, StaysInsideTheBuffer) {
    // "ABCDEFGH.QKA": the dot at 8 fits a 13-byte buffer exactly.
    char out[32];
    std::memset(out, '#', sizeof out);
    EXPECT_TRUE(DevReplaceExtension("ABCDEFGH.QKA", "QKA", "WAV", out, 13));
    EXPECT_STREQ(out, "ABCDEFGH.WAV");
    EXPECT_EQ(out[13], '#');
    // One byte less: the extension moves in and keeps its dot.
    std::memset(out, '#', sizeof out);
    EXPECT_TRUE(DevReplaceExtension("ABCDEFGH.QKA", "QKA", "WAV", out, 12));
    EXPECT_STREQ(out, "ABCDEFG.WAV");
    EXPECT_EQ(out[12], '#');
    // A long new extension and tiny buffers never write past size.
    for (int size = 1; size <= 14; ++size) {
        SCOPED_TRACE(size);
        std::memset(out, '#', sizeof out);
        EXPECT_TRUE(DevReplaceExtension("ABCDEFGH.QKA", "QKA", "WAVEFORM", out, size));
        EXPECT_EQ(std::strlen(out), static_cast<size_t>(size - 1));
        EXPECT_EQ(out[size], '#');
    }
    EXPECT_FALSE(DevReplaceExtension("A.QKA", "QKA", "WAV", out, 0));
    // A 300-character name at Songdock's 260 bytes.
    const std::string longName = std::string(296, 'n') + ".qka";
    std::vector<char> big(300, '#');
    EXPECT_TRUE(DevReplaceExtension(longName.c_str(), "QKA", "WAV", big.data(), 260));
    EXPECT_EQ(std::string(big.data()), std::string(255, 'n') + ".WAV");
    EXPECT_EQ(big[260], '#');
}

// ---- Without the library --------------------------------------------------------

class NoLibrary : public testing::Test {
protected:
    void TearDown() override {
        DevExit();
        unsetenv("KD5200USB_LIBRARY");
    }
    devtest::TempDir config_;
};

TEST_F(NoLibrary, EveryOperationActsAsWithoutPlayer) {
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    setenv("KD5200USB_LIBRARY", (config_ / "missing/libkd5200usb.so").c_str(), 1);
    devtest::ScriptedBoxes boxes(platform::kIdOk);
    DevInit();
    EXPECT_FALSE(DevLibraryLoaded());
    EXPECT_NE(DevLibraryError().find("missing/libkd5200usb.so"), std::string::npos)
        << DevLibraryError();
    int count = 5, mask = 5;
    EXPECT_FALSE(DevConnect(true, &count, &mask));
    EXPECT_EQ(DevGetFirmwareVersion(), nullptr);
    EXPECT_EQ(DevDeleteFile(nullptr, 0, 0, "a"), 3);
    EXPECT_EQ(DevGetFileCount(0), 0);
    EXPECT_EQ(DevGetChangeNotifier(), -1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, strings::Load(sid::kPlayerNotConnected));
}

TEST_F(NoLibrary, ALibraryWithoutEveryFunctionIsNotUsed) {
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    setenv("KD5200USB_LIBRARY", "libm.so.6", 1);
    DevInit();
    EXPECT_FALSE(DevLibraryLoaded());
    EXPECT_NE(DevLibraryError().find("KD5200_Open"), std::string::npos) << DevLibraryError();
    int count = 0, mask = 0;
    EXPECT_FALSE(DevConnect(false, &count, &mask));
}

} // namespace
