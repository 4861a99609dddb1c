// Shortcut resolution: symbolic links and .desktop links.
#include "base/platform/shortcut.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

using platform::ResolveShortcut;

TEST(Shortcut, SymbolicLinks) {
    testenv::ScratchDir dir;
    const std::string target = dir / "song one.mp3";
    testenv::WriteText(target, "x");
    ASSERT_EQ(symlink(target.c_str(), (dir / "abs").c_str()), 0);
    ASSERT_EQ(symlink("song one.mp3", (dir / "rel").c_str()), 0);
    ASSERT_EQ(symlink("rel", (dir / "chain").c_str()), 0);
    ASSERT_EQ(symlink("missing.mp3", (dir / "dangling").c_str()), 0);
    const std::string canonical = std::filesystem::canonical(target).string();
    EXPECT_EQ(ResolveShortcut(dir / "abs"), canonical);
    EXPECT_EQ(ResolveShortcut(dir / "rel"), canonical);
    EXPECT_EQ(ResolveShortcut(dir / "chain"), canonical);
    // A dangling link still names what it points to.
    EXPECT_EQ(ResolveShortcut(dir / "dangling"), dir / "missing.mp3");
}

TEST(Shortcut, DesktopLinks) {
    testenv::ScratchDir dir;
    testenv::WriteText(dir / "song.desktop", "[Desktop Entry]\nVersion=1.0\nType=Link\nName=Song\n"
                                             "URL=file:///home/alice/Music/Caf%C3%A9%20Song.mp3\n");
    EXPECT_EQ(ResolveShortcut(dir / "song.desktop"), "/home/alice/Music/Café Song.mp3");

    testenv::WriteText(dir / "host.desktop",
                       "[Desktop Entry]\nType=Link\nURL=file://localhost/tmp/a%2Bb\n");
    EXPECT_EQ(ResolveShortcut(dir / "host.desktop"), "/tmp/a+b");

    // Not a link to a local file, or not a link at all.
    testenv::WriteText(dir / "web.desktop",
                       "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
    testenv::WriteText(dir / "app.desktop", "[Desktop Entry]\nType=Application\nExec=true\n"
                                            "URL=file:///tmp/x\n");
    testenv::WriteText(dir / "other.desktop", "[Desktop Action x]\nType=Link\nURL=file:///tmp/x\n");
    testenv::WriteText(dir / "remote.desktop", "[Desktop Entry]\nType=Link\nURL=file://nas/x\n");
    EXPECT_EQ(ResolveShortcut(dir / "web.desktop"), "");
    EXPECT_EQ(ResolveShortcut(dir / "app.desktop"), "");
    EXPECT_EQ(ResolveShortcut(dir / "other.desktop"), "");
    EXPECT_EQ(ResolveShortcut(dir / "remote.desktop"), "");
}

TEST(Shortcut, PlainFilesAndNothing) {
    testenv::ScratchDir dir;
    testenv::WriteText(dir / "plain.mp3", "x");
    EXPECT_EQ(ResolveShortcut(dir / "plain.mp3"), "");
    EXPECT_EQ(ResolveShortcut(dir.Path()), "");
    EXPECT_EQ(ResolveShortcut(dir / "absent"), "");
    EXPECT_EQ(ResolveShortcut(""), "");
    EXPECT_EQ(platform::LocalPathFromFileUrl("file:///a%00b"), "");
    EXPECT_EQ(platform::LocalPathFromFileUrl("file:///bad%zzescape%"), "");
}

} // namespace
