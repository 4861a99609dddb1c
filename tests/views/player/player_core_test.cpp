// The pane's texts, its transfer meter and its checks of dropped files,
// without a display.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "views/player/dropped_files.h"
#include "views/player/memory_rows.h"
#include "views/player/space_check.h"
#include "views/player/transfer_meter.h"
#include "device_test_support.h"

using testing::ElementsAre;

namespace {

TEST(MemoryTexts, SizesAndTotalsRoundUpAtTheirEdges) {
    EXPECT_EQ(player::SizeText(0), "0KB");
    EXPECT_EQ(player::SizeText(1), "1KB");
    EXPECT_EQ(player::SizeText(1024), "1KB");
    EXPECT_EQ(player::SizeText(1025), "2KB");
    EXPECT_EQ(player::SizeText(UINT32_MAX), "4194304KB");

    EXPECT_EQ(player::StatusText(true, 1048575, 1, 3), "Total 1024KB,  Remain 1KB,  3 File(s)");
    EXPECT_EQ(player::StatusText(true, 1048576, 0, 0), "Total 1MB,  Remain 0KB,  0 File(s)");
    EXPECT_EQ(player::StatusText(true, 1048577, 1048576, 1), "Total 2MB,  Remain 1MB,  1 File(s)");
    // 4 GB and more must not wrap.
    EXPECT_EQ(player::StatusText(true, uint64_t{4} << 30, uint64_t{4} << 30, 0),
              "Total 4096MB,  Remain 4096MB,  0 File(s)");
    EXPECT_EQ(player::StatusText(false, 1, 1, 1), "Not Connected");
    EXPECT_EQ(player::HeaderText("Internal Memory", "Not Connected"),
              " Internal Memory - Not Connected");
    // One weight for the whole line: bold only for a title a bold face holds.
    EXPECT_TRUE(player::HeaderInBold("Internal Memory"));
    EXPECT_TRUE(player::HeaderInBold("Mémoire interne — Внутренняя"));
    EXPECT_FALSE(player::HeaderInBold("내장 메모리"));
    EXPECT_FALSE(player::HeaderInBold("Memory 内部"));
}

TEST(MemoryTexts, ColumnsCompareByTheirOwnRules) {
    const player::MemoryRow big{"a.mp3", 0, 2000, "MP3 File"};
    const player::MemoryRow small{"B.mp3", 1, 30, "MP3 File"};
    EXPECT_LT(player::CompareRows(small, big, player::kColumnSize), 0);
    EXPECT_GT(player::CompareRows(small, big, player::kColumnNumber), 0);
    // Equal types fall back to the directory order.
    EXPECT_LT(player::CompareRows(big, small, player::kColumnType), 0);
}

// The meter follows the library's per-file reports through skipped files and
// a cancel, and counts only the files whose last byte went through.
TEST(TransferMeter, AddsUpFilesAndFollowsSkippedOnes) {
    player::TransferMeter meter({{"a.mp3", 100}, {"b.mp3", 50}, {"c.mp3", 30}});
    auto at = meter.Report(0, 100);
    EXPECT_EQ(at.index, 0u);
    EXPECT_EQ(at.total, 180u);
    at = meter.Report(100, 100);
    EXPECT_EQ(at.done, 100u);
    // b.mp3 was skipped: the next report is c.mp3's.
    at = meter.Report(10, 30);
    EXPECT_EQ(at.index, 2u);
    EXPECT_EQ(at.done, 160u);
    EXPECT_EQ(meter.Describe(at), "File 3 of 3: c.mp3\n0 of 1 KB");
    meter.Report(30, 30);
    EXPECT_EQ(meter.Summary(player::TransferMeter::Ending::kDone, 3.21),
              "2 of 3 files copied (1 KB) in 3.2 s");

    // Cancelled on the report of a file's last byte: the library removes it.
    player::TransferMeter big({{"x.mp3", 3u << 20}, {"y.mp3", 2u << 20}});
    big.Report(3 << 20, 3 << 20);
    at = big.Report(1 << 20, 2 << 20);
    EXPECT_EQ(big.Describe(at), "File 2 of 2: y.mp3\n4.0 of 5.0 MB");
    big.Report(2 << 20, 2 << 20);
    big.Refused();
    EXPECT_EQ(big.Summary(player::TransferMeter::Ending::kCancelled, 1),
              "1 of 2 files copied; cancelled");
    big.Report(2 << 20, 2 << 20);
    EXPECT_EQ(big.Summary(player::TransferMeter::Ending::kDone, 1),
              "2 files copied (5 MB) in 1.0 s");

    // Checked copies: the read-back of a file weighs as much as its copy and
    // never moves on to the next file.
    player::TransferMeter checked({{"a.mp3", 1000}, {"b.mp3", 3000}}, true);
    at = checked.Report(1000, 1000);
    EXPECT_EQ(at.done, 1000u);
    EXPECT_EQ(at.total, 8000u);
    at = checked.Report(0, 1000, true);
    at = checked.Report(500, 1000, true);
    EXPECT_EQ(at.index, 0u);
    EXPECT_EQ(at.done, 1500u);
    EXPECT_EQ(checked.Describe(at), "Checking file 1 of 2: a.mp3\n0 of 4 KB");
    at = checked.Report(0, 3000);
    EXPECT_EQ(at.index, 1u);
    EXPECT_EQ(at.done, 2000u);
    EXPECT_EQ(checked.Describe(at), "File 2 of 2: b.mp3\n0 of 4 KB");
}

// The entry limit counts as much as the blocks; a PC folder has none, and
// its question leaves entries out.
TEST(SpaceCheck, EntriesAndBlocksBothLimitAndThePcQuestionNamesBytesOnly) {
    const player::SpacePlan entries = DevPlanSpace({0, 0, 0}, {16384, 10, 2});
    EXPECT_FALSE(entries.fitsAll);
    EXPECT_THAT(entries.fitting, ElementsAre(0u, 1u));

    const player::Room folder{4096, 270, -1};
    const player::SpacePlan pc = DevPlanSpace({1048576, 4097, 100000}, folder);
    EXPECT_EQ(pc.neededBlocks, 256u + 2u + 25u);
    EXPECT_THAT(pc.fitting, ElementsAre(0u, 1u));
    // Both round up to 2MB: told in KB, so that they read apart.
    EXPECT_EQ(player::SpaceQuestion(pc, folder, 3),
              "The files need 1,132KB; 1,080KB is free.\n"
              "Copy the 2 of 3 files that fit, in the order given?");
    EXPECT_TRUE(DevPlanSpace(std::vector<uint64_t>{1048576}, folder).fitsAll);

    // The free space reads as the memory's header says it ("Remain 56MB").
    const player::Room memory{16384, 3552, 10}; // 55.5MB
    EXPECT_EQ(player::CountBytes(3552 * 16384).value, 56u);
    const player::SpacePlan big = DevPlanSpace(std::vector<uint64_t>{60 << 20}, memory);
    EXPECT_EQ(player::NoSpaceText(big, memory),
              "The files need 60MB in 1 entry; 56MB and 10 entries are free.\n"
              "None of the files fits.");
}

class DroppedFiles : public testing::Test {
protected:
    devtest::TempDir work_;
};

TEST_F(DroppedFiles, LinksResolveAndFoldersAreTold) {
    devtest::WriteFile(work_ / "song.mp3", "x");
    ASSERT_EQ(symlink((work_ / "song.mp3").c_str(), (work_ / "link").c_str()), 0);
    devtest::WriteFile(work_ / "song.desktop",
                       "[Desktop Entry]\nType=Link\nURL=file://" + work_.path() + "/song.mp3\n");
    EXPECT_THAT(
        player::ResolveDroppedPaths({work_ / "link", work_ / "song.desktop", work_ / "song.mp3"}),
        ElementsAre(work_ / "song.mp3", work_ / "song.mp3", work_ / "song.mp3"));

    EXPECT_EQ(player::CheckDownloadPath(work_ / "song.mp3").problem, player::PathProblem::None);
    EXPECT_EQ(player::CheckDownloadPath(work_.path()).problem, player::PathProblem::Directory);
    const player::PathCheck missing = player::CheckDownloadPath(work_ / "gone.mp3");
    EXPECT_EQ(missing.problem, player::PathProblem::Unreadable);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(player::CheckDownloadPath(std::string(5000, 'a')).problem,
              player::PathProblem::TooLong);
}

} // namespace
