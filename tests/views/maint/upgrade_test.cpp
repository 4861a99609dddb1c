// Upgrade Application Code and Upgrade Boot Code on the virtual player.
#include "hex_text.h"
#include "lib/lists/name_list.h"
#include "maint_fixture.h"
#include "views/maint/progress_scope.h"
#include "base/resources/ids.h"
#include "lib/settings/settings_store.h"
#include "views/player/copy_options.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/progdlg.h>
#include <wx/utils.h>

#include <chrono>
#include <filesystem>
#include <utility>
#include <vector>

namespace {

using mainttest::MaintTest;

class UpgradeTest : public MaintTest {
protected:
    // The image the player keeps for a target ("" when it has none).
    std::string StoredImage(const char* target) {
        const std::string out = work_ / (std::string(target) + ".img");
        std::filesystem::remove(out);
        Sim(std::string("firmware ") + target + " " + out);
        return devtest::ReadFile(out);
    }
    void ExpectClosingMessage(size_t box) {
        ASSERT_GT(boxes_.shown.size(), box);
        EXPECT_EQ(boxes_.shown[box].text,
                  "Please, Unplug USB connector!\nPlease restart this program~");
        EXPECT_EQ(boxes_.shown[box].caption, "Please restart this program~");
        EXPECT_EQ(boxes_.shown[box].style, platform::kMbOk | platform::kMbIconWarning);
    }
};

TEST_F(UpgradeTest, HexFileIsConvertedWrittenAndTheProgramCloses) {
    Connect();
    ASSERT_TRUE(Enabled(ids::kUpgradeApplication));
    const auto code = hexgen::RandomBytes(3000, 7);
    // A vector area below 0x2000 stays out of the application image, after a question.
    const std::string hex = work_ / "CODE.HEX";
    ASSERT_TRUE(hexgen::WriteText(hex, hexgen::DataRecords(0x1F00, {1, 2, 3, 4}) +
                                           hexgen::DataRecords(0x2000, code) +
                                           hexgen::EndRecord()));
    dialogs_.answers = {hex};
    boxes_.answers = {platform::kIdOk};
    // The conversion runs under a busy cursor, which is gone before the question.
    {
        const auto scope = maint::ProgressDialogs(view_, "")(maint::LongCall::kHexConversion);
        EXPECT_TRUE(wxIsBusy());
    }
    EXPECT_FALSE(wxIsBusy());
    bool busyAtQuestion = true;
    boxes_.whileOpen = [&] { busyAtQuestion = wxIsBusy(); };
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    EXPECT_FALSE(busyAtQuestion);

    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].title, "Codec Upgrade");
    EXPECT_EQ(dialogs_.shown[0].filter, "Intel Hex File(*.hex)\n*.hex\nAll Files(*.*)\n*.*\n\n");
    EXPECT_EQ(dialogs_.shown[0].options, unsigned{platform::kFileMustExist});
    EXPECT_EQ(StoredImage("application"), std::string(code.begin(), code.end()));
    EXPECT_EQ(settings::GetText(settings::kSongdockSection, settings::kCodecCodeName, ""), hex);
    EXPECT_EQ(TempFiles(), 0u);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[0].text, hex +
                                        ": line 2: data below the base address 0x2000 is not "
                                        "written (1 record in all)\n\nWrite the firmware anyway?");
    ExpectClosingMessage(1);
    EXPECT_EQ(closes_, 1);
    EXPECT_TRUE(DevIsStale(0) && DevIsStale(1));

    // The next dialog starts at the remembered file; Cancel changes nothing.
    dialogs_.answers = {std::nullopt};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    EXPECT_EQ(dialogs_.shown[1].initialPath, hex);
    EXPECT_EQ(settings::GetText(settings::kSongdockSection, settings::kCodecCodeName, ""), hex);
    EXPECT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(closes_, 1);
}

TEST_F(UpgradeTest, OtherFilesArePassedUnchanged) {
    Connect();
    std::filesystem::create_directory(work_ / "fw.2");
    // A dot in a folder name is no extension.
    for (const std::string& name : {std::string("code.bin"), std::string("fw.2/code")}) {
        SCOPED_TRACE(name);
        const std::string image = "boot image of " + name;
        devtest::WriteFile(work_ / name, image);
        dialogs_.answers = {work_ / name};
        ASSERT_TRUE(Command(ids::kUpgradeBoot));
        EXPECT_EQ(dialogs_.shown.back().title, "Boot Code Upgrade");
        EXPECT_EQ(StoredImage("boot"), image);
        EXPECT_EQ(settings::GetText(settings::kSongdockSection, settings::kBootCodeName, ""),
                  work_ / name);
        EXPECT_EQ(TempFiles(), 0u);
    }
    EXPECT_EQ(closes_, 2);

    // An empty file is refused before the player is touched.
    devtest::WriteFile(work_ / "empty.bin", "");
    dialogs_.answers = {work_ / "empty.bin"};
    ASSERT_TRUE(Command(ids::kUpgradeBoot));
    EXPECT_EQ(boxes_.shown.back().text,
              work_ / "empty.bin" +
                  ": the firmware image is empty (0 bytes).\n\nThe player was not changed.");
    EXPECT_EQ(StoredImage("boot"), "boot image of fw.2/code");
    EXPECT_EQ(closes_, 2);
}

TEST_F(UpgradeTest, FailedConversionIsShownAndNothingIsWritten) {
    Connect();
    // An extended address of 0x1000 would make a 256 MiB image.
    const std::string hex = work_ / "far.hex";
    ASSERT_TRUE(hexgen::WriteText(hex, hexgen::HexFile(0x10000000, {1, 2, 3})));
    dialogs_.answers = {hex};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].text.find(hex), std::string::npos) << boxes_.shown[0].text;
    EXPECT_EQ(closes_, 0);
    EXPECT_EQ(TempFiles(), 0u);
    EXPECT_NE(Sim("status").find("application image: none"), std::string::npos);
}

// A damaged HEX file is written only when the person says so, and then as
// the rules give it; a file that converts to nothing is never written.
TEST_F(UpgradeTest, DamagedHexFilesAreWrittenOnlyWhenConfirmed) {
    Connect();
    const std::string notes = work_ / "notes.hex";
    // Notes that quote a record: the warning tells why nothing was read.
    ASSERT_TRUE(hexgen::WriteText(notes, "Release notes\n" + hexgen::Record(0, 0x2000, {1})));
    dialogs_.answers = {notes};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              notes +
                  ": the firmware image is empty (0 bytes): no data at or above address "
                  "0x2000 was read.\n" +
                  notes +
                  ": line 1: reading stops at a line that is not a record; 1 record after it "
                  "is not written\n\nThe player was not changed.");
    EXPECT_EQ(boxes_.shown[0].style, platform::kMbOk | platform::kMbIconWarning);
    // A text file without any record is not Intel HEX, and the box says so.
    const std::string readme = work_ / "readme.hex";
    ASSERT_TRUE(hexgen::WriteText(readme, "Release notes\n\nNothing to see.\n"));
    dialogs_.answers = {readme};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, readme + ": line 1: not an Intel HEX record, and no record "
                                             "follows: the firmware image is empty (0 bytes).\n\n"
                                             "The player was not changed.");
    boxes_.shown.clear();

    std::string bad = hexgen::Record(0, 0x2000, {1, 2});
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    const std::string checksum = work_ / "checksum.hex";
    ASSERT_TRUE(hexgen::WriteText(checksum, bad + hexgen::EndRecord()));
    dialogs_.answers = {checksum};
    boxes_.answers = {platform::kIdCancel};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              checksum + ": line 1: checksum mismatch (1 record in all)\n\nWritten anyway, the "
                         "damaged records go to the player as they were read, which can leave "
                         "it unable to start.\nWrite the firmware anyway?");
    EXPECT_EQ(boxes_.shown[0].style,
              platform::kMbOkCancel | platform::kMbIconWarning | platform::kMbDefaultButton2);

    // A blank line after line 50 of a 3000-byte file: 784 bytes before it.
    const auto code = hexgen::RandomBytes(3000, 7);
    std::string text = hexgen::HexFile(0x2000, code);
    size_t at = 0;
    for (int line = 0; line < 50; ++line)
        at = text.find('\n', at) + 1;
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
    const std::string cut = work_ / "cut.hex";
    ASSERT_TRUE(hexgen::WriteText(cut, text));
    dialogs_.answers = {cut};
    boxes_.answers = {platform::kIdCancel};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, cut + ": line 51: reading stops at an empty line; 140 records "
                                          "after it are not written\n\nWrite the firmware anyway?");
    EXPECT_EQ(closes_, 0);
    EXPECT_EQ(TempFiles(), 0u);
    EXPECT_NE(Sim("status").find("application image: none"), std::string::npos);

    dialogs_.answers = {cut};
    boxes_.answers = {platform::kIdOk};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    EXPECT_EQ(StoredImage("application"), std::string(code.begin(), code.begin() + 784));
    ExpectClosingMessage(3);
    EXPECT_EQ(closes_, 1);
    EXPECT_EQ(TempFiles(), 0u);
}

TEST_F(UpgradeTest, FailedWriteIsShownThenTheClosingMessage) {
    Connect();
    // One byte more than the player's code memory: the library refuses it.
    const std::string big = work_ / "big.bin";
    devtest::WriteFile(big, "x");
    std::filesystem::resize_file(big, KD5200_MAX_IMAGE_BYTES + 1);
    dialogs_.answers = {big};
    ASSERT_TRUE(Command(ids::kUpgradeApplication));
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_FALSE(boxes_.shown[0].text.empty()); // the library's message
    ExpectClosingMessage(1);
    EXPECT_EQ(closes_, 1);
    EXPECT_EQ(TempFiles(), 0u);
}

// The write runs under the format time-out; afterwards the receive time-out
// is back. A slow player shows it: a write that takes longer than the
// receive time-out succeeds, and a read from the player as long afterwards
// times out. Meanwhile the progress dialog, which has no Cancel, moves at
// least every half second.
TEST_F(UpgradeTest, WriteRunsUnderTheFormatTimeoutWithoutCancelAndShowsProgress) {
    Connect();
    DevSetTimeouts(300, 20000, 300000);
    const std::string image(20000, 'i');
    devtest::WriteFile(work_ / "slow.bin", image);
    HNameList files;
    files.Add((work_ / "slow.bin").c_str(), 0, 0);
    ASSERT_EQ(DevDownloadFiles(nullptr, 0, files, player::CopyOptions()).code, 0);
    setenv("KD5200_SPEED", "10000", 1); // 2 s for the image

    using Clock = std::chrono::steady_clock;
    bool sawDialog = false, hadCancel = true;
    std::vector<std::pair<Clock::time_point, int>> changes; // when the gauge moved, and to what
    gui::Script script(20);
    for (int i = 0; i < 150; ++i)
        script.Then([&] {
            for (wxWindow* top : wxTopLevelWindows)
                if (auto* dialog = dynamic_cast<wxGenericProgressDialog*>(top);
                    dialog && dialog->IsShown()) {
                    sawDialog = true;
                    hadCancel = dialog->FindWindow(wxID_CANCEL) != nullptr;
                    if (changes.empty() || changes.back().second != dialog->GetValue())
                        changes.emplace_back(Clock::now(), dialog->GetValue());
                }
        });
    script.Start();
    dialogs_.answers = {work_ / "slow.bin"};
    ASSERT_TRUE(Command(ids::kUpgradeBoot));
    EXPECT_EQ(StoredImage("boot"), image);
    ASSERT_EQ(boxes_.shown.size(), 1u) << boxes_.shown[0].text;
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(hadCancel);
    // The dialog sees a new value on its next update, so the first change
    // shows a step late; from then on it moves with every report (a busy
    // machine may hold a report back a while, not for the whole write).
    ASSERT_GE(changes.size(), 5u);
    for (size_t i = 2; i < changes.size(); ++i)
        EXPECT_LE(changes[i].first - changes[i - 1].first, std::chrono::milliseconds(1500))
            << "the gauge stood still before " << changes[i].second;

    EXPECT_EQ(DevGetTimeouts().receive, 300);
    std::filesystem::create_directory(work_ / "back");
    HNameList back;
    back.Add("slow.bin", 0, static_cast<uint32_t>(image.size()));
    EXPECT_EQ(
        DevUploadFiles(nullptr, 0, (work_ / "back").c_str(), back, player::CopyOptions()).code,
        KD5200_ERR_TIMEOUT);
}

} // namespace
