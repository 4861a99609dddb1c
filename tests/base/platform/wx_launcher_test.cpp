// Starting programs through the wx launcher.
#include "tests/support/gui_harness/gui_harness.h"
#include "base/platform/gui/wx_services.h"
#include "base/platform/launcher.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(WxLauncher, ProgramGetsThePathAsOneArgument) {
    platform::InstallWxLauncher();
    testenv::ScratchDir dir;
    // A name that is not UTF-8 keeps its bytes.
    const std::string file = dir / "raw data M\xfasica.dat";
    ASSERT_TRUE(platform::CurrentLauncher().RunProgram("touch", file));
    EXPECT_TRUE(gui::PumpUntil([&] { return std::filesystem::exists(file); }, 5000));
    // Nothing named "raw" or "data" appeared: the blanks did not split it.
    EXPECT_FALSE(std::filesystem::exists(dir / "raw"));

    EXPECT_FALSE(platform::CurrentLauncher().RunProgram(dir / "no-such-viewer", file));
    EXPECT_FALSE(platform::CurrentLauncher().OpenWithDefaultApplication(dir / "absent.txt"));
    platform::SetLauncher(nullptr);
}

TEST(WxLauncher, TheDefaultApplicationGetsTheFilesBytes) {
    // A desktop of our own whose default application for text files writes
    // the path it was given into a file.
    testenv::ScratchDir home;
    std::filesystem::create_directories(home / "data/applications");
    std::filesystem::create_directories(home / "config");
    const std::string recorder = home / "record.sh";
    const std::string seen = home / "seen";
    // Written aside and moved, so that the file appears with its contents.
    testenv::WriteText(recorder, "#!/bin/sh\nprintf '%s' \"$1\" > '" + seen + ".part' && mv '" +
                                     seen + ".part' '" + seen + "'\n");
    chmod(recorder.c_str(), 0755);
    testenv::WriteText(home / "data/applications/sd-recorder.desktop",
                       "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder +
                           " %f\nMimeType=text/plain;\n");
    testenv::WriteText(home / "config/mimeapps.list",
                       "[Default Applications]\ntext/plain=sd-recorder.desktop\n");
    testenv::EnvOverride env;
    env.Set("XDG_DATA_HOME", home / "data");
    env.Set("XDG_CONFIG_HOME", home / "config");

    std::filesystem::create_directory(home / "M\xfasica");
    const std::string file = home / "M\xfasica/notes.txt";
    testenv::WriteText(file, "text");
    platform::InstallWxLauncher();
    EXPECT_TRUE(platform::CurrentLauncher().OpenWithDefaultApplication(file));
    EXPECT_TRUE(gui::PumpUntil([&] { return std::filesystem::exists(seen); }, 5000));
    EXPECT_EQ(ReadAll(seen), file);
    platform::SetLauncher(nullptr);
}

} // namespace
