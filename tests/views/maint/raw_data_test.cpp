// Raw data download and viewer on a virtual player of 15 blocks.
#include "maint_fixture.h"
#include "base/resources/ids.h"
#include "lib/settings/settings_store.h"

#include <gtest/gtest.h>

namespace {

using mainttest::MaintTest;

class RawDataTest : public MaintTest {
protected:
    std::string CreateOptions() const override { return "--internal 240K"; }
    void Configure(const std::string& file, const std::string& viewer, unsigned addr = 0,
                   unsigned count = 1) {
        settings::WriteSongdockText(settings::kRawDataFileName, file);
        settings::WriteSongdockText(settings::kRawDataViewer, viewer);
        settings::WriteRawDataRange({addr, count});
    }
};

TEST_F(RawDataTest, ReadsTheConfiguredBlocksAndOpensTheViewer) {
    Connect();
    ASSERT_EQ(DevGetCapacityBlocks(0), 15u);
    // With the default range (block 0, one block) and no viewer.
    settings::WriteSongdockText(settings::kRawDataFileName, work_ / "raw.dat");
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    EXPECT_EQ(devtest::ReadFile(work_ / "raw.dat").size(), 16384u);
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_TRUE(launcher_->runs.empty());

    // Blanks in both paths: the file reaches the viewer as one argument.
    const std::string file = work_ / "raw data.dat";
    const std::string viewer = work_ / "hex viewer";
    Configure(file, viewer, 10, 5);
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    EXPECT_EQ(devtest::ReadFile(file).size(), 5u * 16384);
    ASSERT_EQ(launcher_->runs.size(), 1u);
    EXPECT_EQ(launcher_->runs[0], std::make_pair(viewer, file));

    // One block more is beyond the memory.
    Configure(file, viewer, 10, 6);
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Raw Data Range was exceeded.");
    EXPECT_EQ(boxes_.shown[0].style, unsigned{platform::kMbOk});
    EXPECT_EQ(launcher_->runs.size(), 1u);
    // A first block near 2^32 does not wrap around into the memory.
    Configure(file, viewer, 0xFFFFFFFFu, 2);
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    EXPECT_EQ(boxes_.shown.size(), 2u);
}

TEST_F(RawDataTest, OverwriteAnswers) {
    Connect();
    const std::string file = work_ / "raw.dat";
    devtest::WriteFile(file, "old");
    Configure(file, "viewer");

    // No opens the existing file without reading the player.
    boxes_.answers = {platform::kIdNo};
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].caption, file);
    // A window manager cuts a long caption; the box's secondary text names the file whole.
    EXPECT_EQ(boxes_.shown[0].text, "Already exist the file.\nWill you overwrite?");
    EXPECT_EQ(boxes_.shown[0].secondary, file);
    EXPECT_EQ(devtest::ReadFile(file), "old");
    ASSERT_EQ(launcher_->runs.size(), 1u);

    boxes_.answers = {platform::kIdCancel};
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    EXPECT_EQ(devtest::ReadFile(file), "old");
    EXPECT_EQ(launcher_->runs.size(), 1u);

    boxes_.answers = {platform::kIdYes};
    ASSERT_TRUE(Command(ids::kRawDataInternal));
    EXPECT_EQ(devtest::ReadFile(file).size(), 16384u);
    EXPECT_EQ(launcher_->runs.size(), 2u);
}

TEST_F(RawDataTest, ViewSavedFile) {
    // No file name: message 4010, nothing else.
    ASSERT_TRUE(Command(ids::kViewRawData));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "Raw Data Filename or Range was not specified.");
    EXPECT_EQ(boxes_.shown[0].caption, "");

    // A viewer but no file yet: the library's message for a missing file.
    Configure(work_ / "never.dat", "viewer");
    ASSERT_TRUE(Command(ids::kViewRawData));
    EXPECT_EQ(boxes_.shown.size(), 2u);
    EXPECT_TRUE(launcher_->runs.empty());

    devtest::WriteFile(work_ / "never.dat", "x");
    ASSERT_TRUE(Command(ids::kViewRawData));
    ASSERT_EQ(launcher_->runs.size(), 1u);
    EXPECT_EQ(launcher_->runs[0].second, work_ / "never.dat");
    EXPECT_TRUE(Enabled(ids::kViewRawData));
    EXPECT_FALSE(Enabled(ids::kRawDataInternal)); // no player read yet
}

} // namespace
