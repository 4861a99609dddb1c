// The device library's functions through the C interface: results, records
// and error codes.
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

#include "lib/kd5200usb/errors.h"
#include "player_fixture.h"

namespace {

using kdtest::Pattern;
using kdtest::PlayerTest;
using kdtest::ReadFile;

std::string Trim(const char* text, size_t size) {
    std::string s(text, strnlen(text, size));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

TEST_F(PlayerTest, HandlesFollowTheAttachState) {
    ASSERT_TRUE(kd5200::SetAttached(folder_, false).Ok());
    EXPECT_EQ(KD5200_TestConnection(), 0);
    KD5200_HANDLE handle = reinterpret_cast<KD5200_HANDLE>(1);
    ExpectError(KD5200_Open(&handle), KD5200_ERR_NOT_ATTACHED);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(KD5200_GetFirmwareVersionString(), nullptr);

    ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok());
    EXPECT_NE(KD5200_TestConnection(), 0);
    ASSERT_NE(KD5200_Open(&handle), 0);
    EXPECT_NE(KD5200_IsValidHandle(handle), 0);
    EXPECT_STREQ(KD5200_GetFirmwareVersionString(),
                 "ZENTROVIA KD5200 FILE SYSTEM DEC 07 2026 10:00:00 1.0 SIM");

    // Pulled out with the handle open: operations fail, the handle stays ours.
    // As with a USB device, it keeps failing once the player is back; a new
    // handle works. Every plug and unplug changes the plug generation.
    const int64_t plugged = KD5200X_GetPlugGeneration();
    ASSERT_TRUE(kd5200::SetAttached(folder_, false).Ok());
    const int64_t unplugged = KD5200X_GetPlugGeneration();
    EXPECT_NE(unplugged, plugged);
    KD5200_MEMINFO info{};
    int32_t count = 0;
    ExpectError(KD5200_Refresh(handle, 0, &info, nullptr, &count), KD5200_ERR_NOT_ATTACHED);
    EXPECT_NE(KD5200_IsValidHandle(handle), 0);
    ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok());
    ASSERT_TRUE(kd5200::SetAttached(folder_, true).Ok()); // no change: no new generation
    EXPECT_NE(KD5200X_GetPlugGeneration(), unplugged);
    EXPECT_NE(KD5200X_GetPlugGeneration(), plugged);
    ExpectError(KD5200_Refresh(handle, 0, &info, nullptr, &count), KD5200_ERR_REPLUGGED);
    ExpectError(KD5200_Download(nullptr, handle, 0, PcFile("a.mp3", "a").c_str()),
                KD5200_ERR_REPLUGGED);
    EXPECT_NE(KD5200_IsValidHandle(handle), 0);
    KD5200_HANDLE again = nullptr;
    ASSERT_NE(KD5200_Open(&again), 0);
    EXPECT_NE(KD5200_Refresh(again, 0, &info, nullptr, &count), 0);
    EXPECT_NE(KD5200_Close(again), 0);
    EXPECT_NE(KD5200_Free(again), 0);

    EXPECT_NE(KD5200_Close(handle), 0);
    EXPECT_EQ(KD5200_IsValidHandle(handle), 0);
    ExpectError(KD5200_Refresh(handle, 0, &info, nullptr, &count), KD5200_ERR_BAD_HANDLE);
    ExpectError(KD5200_Close(handle), KD5200_ERR_BAD_HANDLE);
    EXPECT_NE(KD5200_Free(handle), 0);
    ExpectError(KD5200_Free(handle), KD5200_ERR_BAD_HANDLE);
    EXPECT_NE(KD5200_Free(nullptr), 0);

    int local = 0;
    EXPECT_EQ(KD5200_IsValidHandle(&local), 0);
    EXPECT_EQ(KD5200_IsValidHandle(nullptr), 0);
    ExpectError(KD5200_Refresh(&local, 0, &info, nullptr, &count), KD5200_ERR_BAD_HANDLE);
    ExpectError(KD5200_Refresh(nullptr, 0, &info, nullptr, &count), KD5200_ERR_NOT_CONNECTED);
    ExpectError(KD5200_Open(nullptr), KD5200_ERR_BAD_ARGUMENT);
}

TEST_F(PlayerTest, RefreshFillsRecordsInThePlayersLayout) {
    ASSERT_TRUE(Download(0, PcFile("README.TXT", Pattern(20000, 1))));
    ASSERT_TRUE(Download(0, PcFile("My Song.mp3", Pattern(5, 2))));
    ASSERT_TRUE(Download(0, PcFile("NOEXT", "")));
    KD5200_MEMINFO info{};
    const auto entries = Refresh(0, info);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(info.fileCount, 3u);
    EXPECT_EQ(info.capacityBlocks, 256u);
    EXPECT_EQ(info.usedBlocks, 3u); // 2 + 1 + 0

    static_assert(sizeof(KD5200_DIRENTRY) == 300 && sizeof(KD5200_MEMINFO) == 12 &&
                  sizeof(KD5200_FONTINFO) == 268);
    const auto* raw = reinterpret_cast<const unsigned char*>(&entries[0]);
    EXPECT_EQ(std::memcmp(raw, "README  \0TXT\0", 13), 0);
    EXPECT_EQ(raw[32] | raw[33] << 8 | raw[34] << 16 | raw[35] << 24, 20000);
    EXPECT_EQ(raw[36], 0); // the name is its own short name
    EXPECT_EQ(std::memcmp(entries[1].name, "MYSONG~1\0", 9), 0);
    EXPECT_EQ(std::memcmp(entries[1].ext, "MP3\0", 4), 0);
    EXPECT_STREQ(entries[1].longName, "My Song.mp3");
    EXPECT_EQ(std::memcmp(entries[2].ext, "   \0", 4), 0);
    EXPECT_EQ(Trim(entries[2].name, 9), "NOEXT");
    EXPECT_EQ(entries[2].size, 0u);

    // A smaller array gets the first entries; the information counts all.
    KD5200_DIRENTRY one[1];
    int32_t count = 1;
    ASSERT_NE(KD5200_Refresh(Handle(), 0, &info, one, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(info.fileCount, 3u);

    // The absent external memory reports capacity 0.
    KD5200_MEMINFO external{};
    CreatePlayer(16, 0);
    EXPECT_TRUE(Refresh(1, external).empty());
    EXPECT_EQ(external.capacityBlocks, 0u);
    ExpectError(Download(1, PcFile("a.txt", "x")), KD5200_ERR_NO_CAPACITY);
}

TEST_F(PlayerTest, RefreshRefusesBadArguments) {
    KD5200_MEMINFO info{};
    KD5200_DIRENTRY entries[2];
    int32_t count = 2;
    ExpectError(KD5200_Refresh(Handle(), 2, &info, entries, &count), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Refresh(Handle(), -1, &info, entries, &count), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Refresh(Handle(), 0, nullptr, entries, &count), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Refresh(Handle(), 0, &info, entries, nullptr), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Refresh(Handle(), 0, &info, nullptr, &count), KD5200_ERR_BAD_ARGUMENT);
    count = -1;
    ExpectError(KD5200_Refresh(Handle(), 0, &info, entries, &count), KD5200_ERR_BAD_ARGUMENT);
    count = 513;
    ExpectError(KD5200_Refresh(Handle(), 0, &info, entries, &count), KD5200_ERR_BAD_ARGUMENT);
}

TEST_F(PlayerTest, DownloadAndUploadCopyExactBytes) {
    const size_t sizes[] = {0, 1, 16383, 16384, 16385, 100000, 1 << 20};
    for (size_t i = 0; i < std::size(sizes); ++i)
        ASSERT_TRUE(Download(0, PcFile("file" + std::to_string(i) + ".bin", Pattern(sizes[i], i))))
            << i;
    const auto entries = Refresh(0);
    ASSERT_EQ(entries.size(), std::size(sizes));
    const std::string out = dir_ + "/out";
    std::filesystem::create_directories(out);
    for (size_t i = 0; i < std::size(sizes); ++i) {
        const std::string target = out + "/file" + std::to_string(i) + ".bin";
        ASSERT_NE(KD5200_Upload(nullptr, Handle(), 0, static_cast<int32_t>(i), target.c_str(),
                                nullptr, static_cast<int32_t>(entries[i].size),
                                KD5200_CONVERT_NONE),
                  0)
            << KD5200_GetError();
        EXPECT_EQ(ReadFile(target), Pattern(sizes[i], i)) << i;
        struct stat st {};
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_NE(st.st_mode & S_IRGRP, 0u)
            << "the output gets the usual mode, not the temporary file's";
    }
    // Only the outputs are there: no temporary files left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}),
              static_cast<long>(std::size(sizes)));
}

TEST_F(PlayerTest, DownloadRefusals) {
    ExpectError(Download(0, pc_ + "/missing.mp3"), KD5200_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(KD5200_GetWindowsError(), 2);
    ExpectError(Download(0, pc_), KD5200_ERR_FILE_READ);
    EXPECT_NE(KD5200_GetWindowsError(), 0);
    ExpectError(Download(0, PcFile("a:b.mp3", "x")), KD5200_ERR_BAD_NAME);
    ExpectError(Download(0, PcFile("trailing.", "x")), KD5200_ERR_BAD_NAME);

    ASSERT_TRUE(Download(0, PcFile("Song.mp3", "x")));
    std::filesystem::create_directories(pc_ + "/other");
    kdtest::WriteFile(pc_ + "/other/SONG.MP3", "y");
    ExpectError(Download(0, pc_ + "/other/SONG.MP3"), KD5200_ERR_NAME_EXISTS);
    // The same name on the other memory is fine.
    EXPECT_TRUE(Download(1, pc_ + "/other/SONG.MP3"));

    ExpectError(KD5200_Download(nullptr, Handle(), 0, nullptr), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Download(nullptr, Handle(), 5, pc_.c_str()), KD5200_ERR_BAD_ARGUMENT);

    // 4 GiB is one byte more than a directory entry can hold (a sparse file).
    const std::string huge = PcFile("huge.bin", "");
    std::filesystem::resize_file(huge, uint64_t{1} << 32);
    ExpectError(Download(0, huge), KD5200_ERR_FILE_TOO_LARGE);

    // 64 blocks of external memory: a file of 64 blocks fits only when empty.
    ExpectError(Download(1, PcFile("big.bin", Pattern(64 * 16384, 3))), KD5200_ERR_MEMORY_FULL);
    KD5200_MEMINFO info{};
    Refresh(1, info);
    EXPECT_EQ(info.usedBlocks, 1u);
    EXPECT_EQ(info.fileCount, 1u);
}

TEST_F(PlayerTest, DirectoryHoldsAtMost512Entries) {
    for (int i = 0; i < KD5200_MAX_ENTRIES; ++i)
        ASSERT_TRUE(Download(0, PcFile(std::to_string(i), ""))) << i << " " << KD5200_GetError();
    ExpectError(Download(0, PcFile("one-more", "")), KD5200_ERR_DIRECTORY_FULL);
    EXPECT_EQ(Refresh(0).size(), 512u);
}

TEST_F(PlayerTest, DeleteAndReplaceKeepTheOrder) {
    for (const char* name : {"A.TXT", "B.TXT", "C.TXT", "D.TXT"})
        ASSERT_TRUE(Download(0, PcFile(name, name)));
    auto names = [&] {
        std::string all;
        for (const auto& e : Refresh(0))
            all += Trim(e.name, 9);
        return all;
    };
    EXPECT_NE(KD5200_Delete(nullptr, Handle(), 0, 1, "B.TXT"), 0);
    EXPECT_EQ(names(), "ACD");
    EXPECT_NE(KD5200_Replace(Handle(), 0, 2, 1), 0);
    EXPECT_EQ(names(), "ADC");
    EXPECT_NE(KD5200_Replace(Handle(), 0, 0, 1), 0);
    EXPECT_EQ(names(), "DAC");
    ExpectError(KD5200_Replace(Handle(), 0, 0, 2), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Replace(Handle(), 0, 2, 3), KD5200_ERR_NO_ENTRY);
    ExpectError(KD5200_Replace(Handle(), 0, -1, 0), KD5200_ERR_NO_ENTRY);
    ExpectError(KD5200_Delete(nullptr, Handle(), 0, 3, nullptr), KD5200_ERR_NO_ENTRY);
    ExpectError(KD5200_Delete(nullptr, Handle(), 0, -1, nullptr), KD5200_ERR_NO_ENTRY);
    ExpectError(KD5200_Delete(nullptr, Handle(), 7, 0, nullptr), KD5200_ERR_BAD_ARGUMENT);
    EXPECT_EQ(names(), "DAC");
    // The deleted file's blocks are free again.
    KD5200_MEMINFO info{};
    Refresh(0, info);
    EXPECT_EQ(info.usedBlocks, 3u);
}

TEST_F(PlayerTest, RenameMakesNewNames) {
    ASSERT_TRUE(Download(0, PcFile("one.mp3", "1")));
    ASSERT_TRUE(Download(0, PcFile("two.mp3", "2")));
    KD5200_DIRENTRY cached = Refresh(0)[0];
    ASSERT_NE(KD5200_Rename(Handle(), 0, 0, "A much longer name.mp3", &cached), 0);
    EXPECT_STREQ(cached.longName, "A much longer name.mp3");
    EXPECT_EQ(std::memcmp(cached.name, "AMUCHL~1", 8), 0);
    const auto entries = Refresh(0);
    EXPECT_EQ(std::memcmp(&entries[0], &cached, sizeof cached), 0);

    ExpectError(KD5200_Rename(Handle(), 0, 0, "TWO.MP3", nullptr), KD5200_ERR_NAME_EXISTS);
    ExpectError(KD5200_Rename(Handle(), 0, 0, "bad/name", nullptr), KD5200_ERR_BAD_NAME);
    ExpectError(KD5200_Rename(Handle(), 0, 0, "", nullptr), KD5200_ERR_BAD_NAME);
    ExpectError(KD5200_Rename(Handle(), 0, 0, nullptr, nullptr), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_Rename(Handle(), 0, 2, "x", nullptr), KD5200_ERR_NO_ENTRY);
    // A change of letter case only is allowed; an exact short name drops the long name.
    ASSERT_NE(KD5200_Rename(Handle(), 0, 1, "TWO.MP3", nullptr), 0);
    EXPECT_EQ(Refresh(0)[1].longName[0], '\0');
}

TEST_F(PlayerTest, RawBlocksHoldWhatDownloadsWrote) {
    const std::string first = Pattern(40000, 7), second = Pattern(16384, 8);
    ASSERT_TRUE(Download(0, PcFile("first.bin", first)));
    ASSERT_TRUE(Download(0, PcFile("second.bin", second)));
    const std::string raw = dir_ + "/raw.dat";
    ASSERT_NE(KD5200_UploadRawData(nullptr, Handle(), 0, 0, 4, raw.c_str(), 0, 4 * 16384), 0)
        << KD5200_GetError();
    const std::string data = ReadFile(raw);
    ASSERT_EQ(data.size(), 4u * 16384);
    EXPECT_EQ(data.substr(0, first.size()), first);
    EXPECT_EQ(data.substr(3 * 16384), second);

    // A deleted file's blocks are reused by the next download.
    ASSERT_NE(KD5200_Delete(nullptr, Handle(), 0, 0, nullptr), 0);
    const std::string third = Pattern(16384, 9);
    ASSERT_TRUE(Download(0, PcFile("third.bin", third)));
    ASSERT_NE(KD5200_UploadRawData(nullptr, Handle(), 0, 0, 1, raw.c_str(), 0, 16384), 0);
    EXPECT_EQ(ReadFile(raw), third);

    ExpectError(KD5200_UploadRawData(nullptr, Handle(), 0, 250, 7, raw.c_str(), 0, 0),
                KD5200_ERR_RANGE);
    ExpectError(KD5200_UploadRawData(nullptr, Handle(), 0, -1, 1, raw.c_str(), 0, 0),
                KD5200_ERR_RANGE);
    ExpectError(KD5200_UploadRawData(nullptr, Handle(), 0, 0, 0, raw.c_str(), 0, 0),
                KD5200_ERR_RANGE);
    ExpectError(KD5200_UploadRawData(nullptr, Handle(), 0, 0, 1, nullptr, 0, 0),
                KD5200_ERR_BAD_ARGUMENT);
    EXPECT_NE(KD5200_UploadRawData(nullptr, Handle(), 0, 250, 6, raw.c_str(), 0, 0), 0);
    CreatePlayer(16, 0);
    ExpectError(KD5200_UploadRawData(nullptr, Handle(), 1, 0, 1, raw.c_str(), 0, 0),
                KD5200_ERR_NO_CAPACITY);
}

TEST_F(PlayerTest, FormatsEmptyTheDirectory) {
    const std::string data = Pattern(20000, 4);
    ASSERT_TRUE(Download(0, PcFile("a.bin", data)));
    const std::string raw = dir_ + "/raw.dat";
    ASSERT_NE(KD5200_Format(nullptr, Handle(), 0), 0);
    KD5200_MEMINFO info{};
    EXPECT_TRUE(Refresh(0, info).empty());
    EXPECT_EQ(info.usedBlocks, 0u);
    // A plain format leaves the blocks; a low-level one zeroes them all.
    ASSERT_NE(KD5200_UploadRawData(nullptr, Handle(), 0, 0, 2, raw.c_str(), 0, 0), 0);
    EXPECT_EQ(ReadFile(raw).substr(0, data.size()), data);
    ASSERT_TRUE(Download(0, PcFile("b.bin", data)));
    ASSERT_NE(KD5200_FormatLow(nullptr, Handle(), 0), 0);
    EXPECT_TRUE(Refresh(0).empty());
    ASSERT_NE(KD5200_UploadRawData(nullptr, Handle(), 0, 0, 256, raw.c_str(), 0, 0), 0);
    EXPECT_EQ(ReadFile(raw), std::string(256 * 16384, '\0'));
    ExpectError(KD5200_Format(nullptr, Handle(), 3), KD5200_ERR_BAD_ARGUMENT);
}

TEST_F(PlayerTest, FirmwareUpgradeKeepsTheImageAndMovesTheVersion) {
    const char* before = KD5200_GetFirmwareVersionString();
    const std::string image = PcFile("code.img", Pattern(3000, 5));
    ASSERT_NE(KD5200_UpgradeFirmware(nullptr, Handle(), KD5200_TARGET_BOOT, KD5200_ROM_MDS,
                                     image.c_str(), "/home/me/code.hex"),
              0);
    // The text handed to one thread stays as it was while another thread asks.
    std::thread([] { KD5200_GetFirmwareVersionString(); }).join();
    EXPECT_STREQ(before, "ZENTROVIA KD5200 FILE SYSTEM DEC 07 2026 10:00:00 1.0 SIM");
    const std::string version = KD5200_GetFirmwareVersionString();
    EXPECT_EQ(version.rfind("ZENTROVIA KD5200 FILE SYSTEM ", 0), 0u);
    EXPECT_NE(version.find(" 1.1 SIM"), std::string::npos) << version;
    EXPECT_LE(version.size(), 63u);

    ExpectError(
        KD5200_UpgradeFirmware(nullptr, Handle(), 0, 0, PcFile("empty.img", "").c_str(), ""),
        KD5200_ERR_BAD_IMAGE);
    ExpectError(KD5200_UpgradeFirmware(nullptr, Handle(), 0, 0, (pc_ + "/none.img").c_str(), ""),
                KD5200_ERR_FILE_NOT_FOUND);
    const std::string large = PcFile("large.img", "");
    std::filesystem::resize_file(large, KD5200_MAX_IMAGE_BYTES + 1);
    ExpectError(KD5200_UpgradeFirmware(nullptr, Handle(), 0, 0, large.c_str(), ""),
                KD5200_ERR_IMAGE_TOO_LARGE);
    EXPECT_STREQ(kd5200::ErrorMessage(KD5200_ERR_IMAGE_TOO_LARGE),
                 "The image is larger than the player's code memory (16 MiB)");
    ExpectError(KD5200_UpgradeFirmware(nullptr, Handle(), 2, 0, image.c_str(), ""),
                KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_UpgradeFirmware(nullptr, Handle(), 0, 0, nullptr, ""),
                KD5200_ERR_BAD_ARGUMENT);
    EXPECT_EQ(KD5200_GetFirmwareVersionString(), version); // failures change nothing
}

TEST_F(PlayerTest, FontDownloadEraseAndUpload) {
    KD5200_FONTINFO font{};
    ExpectError(KD5200_GetFontInfo(Handle(), &font), KD5200_ERR_NO_FONT);
    const std::string out = dir_ + "/out.fot";
    ExpectError(KD5200_UploadFont(nullptr, Handle(), out.c_str(), 0, 0), KD5200_ERR_NO_FONT);
    ExpectError(KD5200_DownloadFont(nullptr, Handle(), PcFile("empty.fot", "").c_str()),
                KD5200_ERR_BAD_IMAGE);

    const std::string data = Pattern(70000, 6);
    ASSERT_NE(KD5200_DownloadFont(nullptr, Handle(), PcFile("UNICODE.FOT", data).c_str()), 0);
    ASSERT_NE(KD5200_GetFontInfo(Handle(), &font), 0);
    EXPECT_STREQ(font.fileName, "UNICODE.FOT");
    EXPECT_EQ(font.size, data.size());
    ASSERT_NE(KD5200_UploadFont(nullptr, Handle(), out.c_str(), 0, static_cast<int32_t>(font.size)),
              0);
    EXPECT_EQ(ReadFile(out), data);
    ExpectError(KD5200_GetFontInfo(Handle(), nullptr), KD5200_ERR_BAD_ARGUMENT);
    ExpectError(KD5200_UploadFont(nullptr, Handle(), out.c_str(), 0, -1), KD5200_ERR_BAD_ARGUMENT);

    ASSERT_NE(KD5200_EraseFont(Handle()), 0);
    ExpectError(KD5200_GetFontInfo(Handle(), &font), KD5200_ERR_NO_FONT);
}

TEST_F(PlayerTest, ErrorCodesAndTheirDisplay) {
    KD5200_SetError(KD5200_ERR_DIRECTORY);
    EXPECT_EQ(KD5200_GetError(), KD5200_ERR_DIRECTORY);
    EXPECT_EQ(KD5200_GetWindowsError(), 0);

    testing::internal::CaptureStderr();
    KD5200_DispError(nullptr, KD5200_ERR_FILE_READ, 13);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "KD5200: The file cannot be read: Permission denied\n");

    struct Shown {
        int32_t code = -1, windowsError = -1;
        std::string message;
    } shown;
    KD5200X_SetDisplayHook(
        [](KD5200_HWND, int32_t code, int32_t windowsError, const char* message, void* user) {
            auto* s = static_cast<Shown*>(user);
            s->code = code;
            s->windowsError = windowsError;
            s->message = message;
        },
        &shown);
    // 0, 0 shows the last error.
    ExpectError(Download(0, pc_ + "/missing"), KD5200_ERR_FILE_NOT_FOUND);
    KD5200_DispError(nullptr, 0, 0);
    EXPECT_EQ(shown.code, KD5200_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(shown.windowsError, 2);
    // The message of a failed transfer names the PC file; other codes shown
    // afterwards do not.
    EXPECT_EQ(shown.message, "KD5200: " + pc_ + "/missing: The file does not exist");
    KD5200_DispError(nullptr, KD5200_ERR_FILE_NOT_FOUND, 0);
    EXPECT_EQ(shown.message, "KD5200: The file does not exist");
    KD5200_DispError(nullptr, 999, 0);
    EXPECT_EQ(shown.message, "KD5200: Unknown error 999");
    // Every code of the header has a message of its own.
    for (int32_t code : {3,  4,  6,  7,  12, 14, 20, 21, 22, 23, 24, 25,
                         26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 40, 41}) {
        KD5200_DispError(nullptr, code, 0);
        EXPECT_EQ(shown.message.find("Unknown"), std::string::npos) << code;
        EXPECT_EQ(shown.message.find('\n'), std::string::npos) << code;
    }
    KD5200X_SetDisplayHook(nullptr, nullptr);
    ExpectError(KD5200_SetTimeout(-1, 100), KD5200_ERR_BAD_ARGUMENT);
}

TEST_F(PlayerTest, ProgressHookCancelsAndLeavesThePreviousState) {
    ASSERT_TRUE(Download(0, PcFile("keep.bin", Pattern(100, 1))));
    struct Seen {
        int64_t last = -1, total = 0;
        int calls = 0;
        int64_t stopAt = -1;
    } seen;
    KD5200X_SetProgressHook(
        [](KD5200_HWND, const char*, int64_t done, int64_t total, void* user) -> int32_t {
            auto* s = static_cast<Seen*>(user);
            EXPECT_GE(done, s->last);
            s->last = done;
            s->total = total;
            ++s->calls;
            return s->stopAt >= 0 && done >= s->stopAt ? 1 : 0;
        },
        &seen);
    const std::string big = PcFile("big.bin", Pattern(3 << 20, 2));
    ASSERT_TRUE(Download(0, big));
    EXPECT_EQ(seen.last, 3 << 20);
    EXPECT_EQ(seen.total, 3 << 20);
    EXPECT_GE(seen.calls, 3);

    seen = {};
    seen.stopAt = 1 << 20;
    ASSERT_NE(KD5200_Delete(nullptr, Handle(), 0, 1, nullptr), 0);
    ExpectError(Download(0, big), KD5200_ERR_CANCELLED);
    KD5200_MEMINFO info{};
    EXPECT_EQ(Refresh(0, info).size(), 1u);
    EXPECT_EQ(info.usedBlocks, 1u);

    // A cancelled upload leaves an existing target as it was.
    const std::string target = PcFile("target.bin", "old contents");
    seen = {};
    ASSERT_TRUE(Download(0, PcFile("big2.bin", Pattern(3 << 20, 3))));
    seen = {};
    seen.stopAt = 1 << 20;
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 1, target.c_str(), nullptr, 0, 0),
                KD5200_ERR_CANCELLED);
    EXPECT_EQ(ReadFile(target), "old contents");
    seen = {};
    seen.stopAt = 0;
    ExpectError(KD5200_FormatLow(nullptr, Handle(), 0), KD5200_ERR_CANCELLED);
    EXPECT_EQ(Refresh(0).size(), 2u);
    KD5200X_SetProgressHook(nullptr, nullptr);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pc_), {}), 4)
        << "no temporary files left";
}

TEST_F(PlayerTest, ProgressHookMayCallBack) {
    ASSERT_TRUE(Download(0, PcFile("first.bin", "1")));
    struct Inside {
        KD5200_HANDLE handle;
        int32_t refreshed = -1, deleted = -1, deleteError = 0;
        bool close = false;
    } inside{Handle()};
    KD5200X_SetProgressHook(
        [](KD5200_HWND, const char*, int64_t done, int64_t, void* user) -> int32_t {
            auto* in = static_cast<Inside*>(user);
            if (done == 0) return 0;
            KD5200_MEMINFO info{};
            int32_t count = 0;
            in->refreshed = KD5200_Refresh(in->handle, 0, &info, nullptr, &count)
                                ? static_cast<int32_t>(info.fileCount)
                                : -2;
            in->deleted = KD5200_Delete(nullptr, in->handle, 0, 0, nullptr);
            in->deleteError = KD5200_GetError();
            if (in->close) KD5200_Close(in->handle);
            return 0;
        },
        &inside);
    ASSERT_TRUE(Download(0, PcFile("second.bin", Pattern(100000, 1))));
    EXPECT_EQ(inside.refreshed, 1); // the state before the download
    EXPECT_EQ(inside.deleted, 0);
    EXPECT_EQ(inside.deleteError, KD5200_ERR_STORAGE);
    // Closing the handle from the hook does not pull the player away under the call.
    inside.close = true;
    EXPECT_TRUE(Download(0, PcFile("third.bin", Pattern(100000, 2))));
    EXPECT_EQ(KD5200_IsValidHandle(handle_), 0);
    KD5200X_SetProgressHook(nullptr, nullptr);
    KD5200_Free(handle_);
    handle_ = nullptr;
    EXPECT_EQ(Refresh(0).size(), 3u);
}

TEST_F(PlayerTest, TimeOutsApplyToEachExchange) {
    // 8 MB/s: a 1 MiB chunk takes 131 ms, a 3 MiB file about 400 ms.
    setenv("KD5200_SPEED", "8000000", 1);
    CreatePlayer(1024, 64);
    const std::string data = Pattern(3 << 20, 1);
    ASSERT_NE(KD5200_SetTimeout(200, 200), 0);
    ASSERT_TRUE(Download(0, PcFile("song.mp3", data))) << KD5200_GetError();
    const std::string out = dir_ + "/back.mp3";
    ASSERT_NE(KD5200_Upload(nullptr, Handle(), 0, 0, out.c_str(), nullptr, 3 << 20, 0), 0)
        << KD5200_GetError();
    EXPECT_EQ(ReadFile(out), data);
    // Writing to the player uses the send time-out, reading the receive one.
    ASSERT_NE(KD5200_SetTimeout(200, 100), 0);
    ExpectError(Download(0, PcFile("other.mp3", data)), KD5200_ERR_TIMEOUT);
    EXPECT_NE(KD5200_Upload(nullptr, Handle(), 0, 0, out.c_str(), nullptr, 3 << 20, 0), 0);
    ASSERT_NE(KD5200_SetTimeout(100, 200), 0);
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, out.c_str(), nullptr, 3 << 20, 0),
                KD5200_ERR_TIMEOUT);
    // A format is one command: its answer must come within the receive time-out.
    ExpectError(KD5200_FormatLow(nullptr, Handle(), 0), KD5200_ERR_TIMEOUT); // 16 MiB
    EXPECT_EQ(Refresh(0).size(), 1u);
    ASSERT_NE(KD5200_SetTimeout(0, 0), 0); // no time-out
    EXPECT_TRUE(Download(0, PcFile("medium.bin", Pattern(200000, 3))));
    unsetenv("KD5200_SPEED");
}

TEST_F(PlayerTest, UploadConversionKinds) {
    ASSERT_TRUE(Download(0, PcFile("REC01.QKA", "not a recording")));
    const std::string target = dir_ + "/REC01.WAV";
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, target.c_str(), "REC01.QKA", 15, 3),
                KD5200_ERR_BAD_ARGUMENT);
    // Without the converters, or with a file that is no recording, the
    // conversion fails and nothing appears.
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 0, target.c_str(), "REC01.QKA", 15,
                              KD5200_CONVERT_QDX_TO_WAV),
                KD5200_ERR_CONVERSION);
    EXPECT_FALSE(std::filesystem::exists(target));
    ExpectError(KD5200_Upload(nullptr, Handle(), 0, 1, target.c_str(), nullptr, 0, 0),
                KD5200_ERR_NO_ENTRY);
    ExpectError(
        KD5200_Upload(nullptr, Handle(), 0, 0, (dir_ + "/no/such/folder/x").c_str(), nullptr, 0, 0),
        KD5200_ERR_FILE_WRITE);
    EXPECT_EQ(KD5200_GetWindowsError(), ENOENT);
}

} // namespace
