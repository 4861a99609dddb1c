// Special folders from the XDG user folders.
#include "base/platform/special_folders.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using platform::SpecialFolder;
using platform::SpecialFolderPath;

class SpecialFolders : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = scratch_ / "home";
        config_ = scratch_ / "config";
        std::filesystem::create_directories(home_);
        std::filesystem::create_directories(config_);
        env_.Set("HOME", home_);
        env_.Set("XDG_CONFIG_HOME", config_);
    }
    testenv::ScratchDir scratch_;
    testenv::EnvOverride env_;
    std::string home_, config_;
};

TEST_F(SpecialFolders, ConfiguredFoldersWin) {
    std::filesystem::create_directories(home_ + "/Schreibtisch");
    std::filesystem::create_directories(scratch_ / "docs with blank");
    testenv::WriteText(config_ + "/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                                    "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                    "XDG_DOCUMENTS_DIR=\"" +
                                                        (scratch_ / "docs with blank") + "\"\n");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Desktop), home_ + "/Schreibtisch");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Documents), scratch_ / "docs with blank");
    EXPECT_EQ(platform::SpecialFolderName(SpecialFolder::Desktop), "Schreibtisch");
}

TEST_F(SpecialFolders, DefaultsThenHome) {
    // A configured folder that does not exist falls back to the default name.
    testenv::WriteText(config_ + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Gone\"\n");
    std::filesystem::create_directories(home_ + "/Desktop");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Desktop), home_ + "/Desktop");
    // No Documents folder at all: the home folder.
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Documents), home_);
    EXPECT_EQ(platform::SpecialFolderName(SpecialFolder::Documents), "Home");
    EXPECT_FALSE(SpecialFolderPath(SpecialFolder::CommonDesktop).has_value());
}

TEST(UserDirs, ParsingRules) {
    const std::string text = "XDG_DESKTOP_DIR=relative\n"
                             "XDG_MUSIC_DIR=\"$HOME/Mu\\\"sic\"\n"
                             "  XDG_DOCUMENTS_DIR = \"/abs/docs\"  \n"
                             "XDG_VIDEOS_DIR=\"$HOMEX/v\"\n";
    EXPECT_EQ(platform::UserDirFromText(text, "XDG_DESKTOP_DIR", "/h"), "");
    EXPECT_EQ(platform::UserDirFromText(text, "XDG_MUSIC_DIR", "/h"), "/h/Mu\"sic");
    EXPECT_EQ(platform::UserDirFromText(text, "XDG_DOCUMENTS_DIR", "/h"), "/abs/docs");
    EXPECT_EQ(platform::UserDirFromText(text, "XDG_VIDEOS_DIR", "/h"), "");
    EXPECT_EQ(platform::UserDirFromText(text, "XDG_PICTURES_DIR", "/h"), "");
}

} // namespace
