// The replaceable services: message boxes, file dialogs, launcher, help file;
// the install layout.
#include "base/platform/file_dialog.h"
#include "base/platform/help_file.h"
#include "base/platform/install_layout.h"
#include "base/platform/launcher.h"
#include "base/platform/message_box_stub.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace platform;

// Without a display the services refuse: a question is answered No (on
// standard error), a file dialog is cancelled, nothing is launched.
TEST(ConsoleServices, RefuseWhatNeedsADisplay) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "", kMbYesNo), kIdNo);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Overwrite?"), std::string::npos);
    EXPECT_FALSE(ShowOpenFileDialog(nullptr, "t", "A\n*.a\n\n", "").has_value());
    EXPECT_FALSE(CurrentLauncher().OpenWithDefaultApplication("/etc/hostname"));
    EXPECT_FALSE(CurrentLauncher().RunProgram("/bin/true", "x"));
}

TEST(Launcher, FindProgram) {
    std::string found;
    EXPECT_TRUE(FindProgram("sh", found));
    EXPECT_EQ(found.substr(found.size() - 3), "/sh");
    EXPECT_TRUE(FindProgram("/bin/sh", found));
    testenv::ScratchDir dir;
    testenv::WriteText(dir / "script", "#!/bin/sh\n");
    chmod((dir / "script").c_str(), 0644);
    EXPECT_FALSE(FindProgram(dir / "script", found)); // not executable
    chmod((dir / "script").c_str(), 0755);
    EXPECT_TRUE(FindProgram(dir / "script", found));
    EXPECT_FALSE(FindProgram(dir.Path(), found)); // a folder
    EXPECT_FALSE(FindProgram("no-such-program-here", found));
    EXPECT_FALSE(FindProgram("", found));
}

class HelpFile : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* sub : {"cwd/HtmlHelp", "data/HtmlHelp", "bin"})
            std::filesystem::create_directories(dir_ / sub);
        env_.Set("PATH", dir_ / "bin");
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_ / "cwd");
        Use(std::make_unique<RecordingLauncher>());
    }
    void TearDown() override {
        SetLauncher(nullptr);
        std::filesystem::current_path(old_);
    }
    void Use(std::unique_ptr<RecordingLauncher> launcher) {
        launcher_ = launcher.get();
        SetLauncher(std::move(launcher));
    }
    void InstallViewer(const std::string& name) {
        testenv::WriteText(dir_ / ("bin/" + name), "#!/bin/sh\n");
        chmod((dir_ / ("bin/" + name)).c_str(), 0755);
    }
    std::vector<std::string> Folders() const { return {dir_ / "cwd", dir_ / "data"}; }
    std::string Compiled(const char* folder) const {
        return dir_ / (std::string(folder) + "/HtmlHelp/Songdock.chm");
    }
    std::string Pages(const char* folder) const {
        return dir_ / (std::string(folder) + "/HtmlHelp/index.html");
    }

    testenv::ScratchDir dir_;
    testenv::EnvOverride env_;
    std::filesystem::path old_;
    RecordingLauncher* launcher_ = nullptr;
};

TEST_F(HelpFile, NothingFoundNamesEveryPlaceTried) {
    ScriptedMessageBoxes boxes;
    EXPECT_FALSE(OpenHelpFileFrom(nullptr, Folders()));
    EXPECT_TRUE(launcher_->opened.empty());
    EXPECT_TRUE(launcher_->runs.empty());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find(Compiled("cwd")), std::string::npos);
    EXPECT_NE(boxes.Boxes()[0].text.find(Compiled("data")), std::string::npos);
    EXPECT_EQ(boxes.Boxes()[0].style & kMbIconMask, static_cast<unsigned>(kMbIconWarning));
}

TEST_F(HelpFile, CompiledFileGoesToTheFirstInstalledViewer) {
    testenv::WriteText(Compiled("data"), "ITSF");
    testenv::WriteText(Pages("data"), "<html>");
    InstallViewer("kchmviewer");
    ScriptedMessageBoxes boxes;
    EXPECT_TRUE(OpenHelpFileFrom(nullptr, Folders()));
    ASSERT_EQ(launcher_->runs.size(), 1u);
    EXPECT_EQ(launcher_->runs[0].first, dir_ / "bin/kchmviewer");
    EXPECT_EQ(launcher_->runs[0].second, Compiled("data"));
    EXPECT_TRUE(launcher_->opened.empty());
    // The current directory comes first, as the help path is relative to it.
    testenv::WriteText(Compiled("cwd"), "ITSF");
    InstallViewer("xchm");
    EXPECT_TRUE(OpenHelpFile(nullptr));
    ASSERT_EQ(launcher_->runs.size(), 2u);
    EXPECT_EQ(launcher_->runs[1].first, dir_ / "bin/xchm");
    EXPECT_EQ(std::filesystem::path(launcher_->runs[1].second),
              std::filesystem::current_path() / "HtmlHelp/Songdock.chm");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HelpFile, WithoutViewerThePagesOpenInTheBrowser) {
    testenv::WriteText(Compiled("cwd"), "ITSF");
    testenv::WriteText(Pages("data"), "<html>");
    ScriptedMessageBoxes boxes;
    EXPECT_TRUE(OpenHelpFileFrom(nullptr, Folders()));
    EXPECT_EQ(launcher_->opened, std::vector<std::string>{Pages("data")});
    // Without pages, the compiled file goes to the desktop's default program.
    std::filesystem::remove(Pages("data"));
    EXPECT_TRUE(OpenHelpFileFrom(nullptr, Folders()));
    EXPECT_EQ(launcher_->opened.back(), Compiled("cwd"));
    EXPECT_TRUE(launcher_->runs.empty());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HelpFile, NothingToShowItSaysSo) {
    testenv::WriteText(Compiled("cwd"), "ITSF");
    testenv::WriteText(Pages("data"), "<html>");
    InstallViewer("xchm");
    Use(std::make_unique<RecordingLauncher>(false));
    ScriptedMessageBoxes boxes;
    EXPECT_FALSE(OpenHelpFileFrom(nullptr, Folders()));
    EXPECT_EQ(launcher_->runs.size(), 1u);   // the viewer was tried
    EXPECT_EQ(launcher_->opened.size(), 2u); // then the pages, then the file
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find(Pages("data")), std::string::npos);
}

TEST(InstallLayout, DataAndLibraryBesideTheProgramsFolder) {
    testenv::ScratchDir dir;
    std::filesystem::create_directories(dir / "bin");
    EXPECT_EQ(DataDirectoryFor(dir / "bin"), "");
    std::filesystem::create_directories(dir / "share/songdock");
    EXPECT_EQ(DataDirectoryFor(dir / "bin"), dir / "share/songdock");
    EXPECT_EQ(DataDirectoryFor(""), "");
    EXPECT_EQ(
        LibraryDirectoryFor(dir / "bin"),
        (std::filesystem::path(dir / "bin") / SONGDOCK_LIB_FROM_BIN).lexically_normal().native());
    // The build tree has the installed layout: the test programs find its data.
    EXPECT_EQ(
        DataDirectory(),
        (std::filesystem::path(SD_BIN_DIR) / SONGDOCK_DATA_FROM_BIN).lexically_normal().native());
}

} // namespace
