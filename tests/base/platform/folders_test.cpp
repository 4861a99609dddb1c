// Special folders from the XDG user folders.
#include "base/platform/special_folders.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::SpecialFolder;
using platform::SpecialFolderName;
using platform::SpecialFolderPath;

// The home and configuration folders are read once a process, as GLib does:
// each case asks in a child process of its own, after setting them.
class SpecialFolders : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = scratch_ / "home";
        config_ = scratch_ / "config";
        std::filesystem::create_directories(home_);
        std::filesystem::create_directories(config_);
    }

    // What asked() gives in a child whose HOME and XDG_CONFIG_HOME are ours.
    std::string InChild(const std::function<std::string()>& asked) {
        int out[2];
        if (pipe(out) != 0) return "(no pipe)";
        const pid_t child = fork();
        if (child == 0) {
            setenv("HOME", home_.c_str(), 1);
            setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
            const std::string answer = asked();
            const ssize_t written = write(out[1], answer.data(), answer.size());
            _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
        }
        close(out[1]);
        std::string answer;
        char buffer[512];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
            answer.append(buffer, static_cast<size_t>(n));
        close(out[0]);
        int status = 0;
        waitpid(child, &status, 0);
        return answer;
    }
    std::string PathOf(SpecialFolder folder) {
        return InChild([folder] { return SpecialFolderPath(folder).value_or("(none)"); });
    }
    std::string NameOf(SpecialFolder folder) {
        return InChild([folder] { return SpecialFolderName(folder); });
    }

    testenv::ScratchDir scratch_;
    std::string home_, config_;
};

TEST_F(SpecialFolders, ConfiguredFoldersWin) {
    std::filesystem::create_directories(home_ + "/Schreibtisch");
    std::filesystem::create_directories(scratch_ / "docs with blank");
    testenv::WriteText(config_ + "/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                                    "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                    "XDG_DOCUMENTS_DIR=\"" +
                                                        (scratch_ / "docs with blank") + "\"\n");
    EXPECT_EQ(PathOf(SpecialFolder::Desktop), home_ + "/Schreibtisch");
    EXPECT_EQ(PathOf(SpecialFolder::Documents), scratch_ / "docs with blank");
    EXPECT_EQ(NameOf(SpecialFolder::Desktop), "Schreibtisch");
}

TEST_F(SpecialFolders, DefaultsThenHome) {
    // A configured folder that does not exist falls back to the default name.
    testenv::WriteText(config_ + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Gone\"\n");
    std::filesystem::create_directories(home_ + "/Desktop");
    EXPECT_EQ(PathOf(SpecialFolder::Desktop), home_ + "/Desktop");
    // No Documents folder at all: the home folder.
    EXPECT_EQ(PathOf(SpecialFolder::Documents), home_);
    EXPECT_EQ(NameOf(SpecialFolder::Documents), "Home");
    EXPECT_EQ(PathOf(SpecialFolder::CommonDesktop), "(none)");
}

} // namespace
