// Starting programs through the wx launcher.
#include "tests/support/gui_harness/gui_harness.h"
#include "platform/gui/wx_services.h"
#include "platform/launcher.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(WxLauncher, ProgramGetsThePathAsOneArgument) {
    platform::InstallWxLauncher();
    testenv::ScratchDir dir;
    const std::string file = dir / "raw data file.dat";
    ASSERT_TRUE(platform::CurrentLauncher().RunProgram("touch", file));
    EXPECT_TRUE(gui::PumpUntil([&] { return std::filesystem::exists(file); }, 5000));
    // Nothing named "raw" or "data" appeared: the blanks did not split it.
    EXPECT_FALSE(std::filesystem::exists(dir / "raw"));

    EXPECT_FALSE(platform::CurrentLauncher().RunProgram(dir / "no-such-viewer", file));
    EXPECT_FALSE(platform::CurrentLauncher().OpenWithDefaultApplication(dir / "absent.txt"));
    platform::SetLauncher(nullptr);
}

} // namespace
