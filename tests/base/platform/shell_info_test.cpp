// File icons and type names from the desktop's content types.
#include "base/platform/gui/shell_info.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include <wx/image.h>

namespace {

using platform::GioShellInfo;

TEST(ShellInfo, TypeNamesFromContentTypes) {
    GioShellInfo info;
    const std::string mp3 = info.TypeName("/music/x.mp3", false);
    EXPECT_FALSE(mp3.empty());
    // Cached per extension, letter case ignored.
    EXPECT_EQ(info.TypeName("/other/Y.MP3", false), mp3);
    EXPECT_EQ(info.CachedKinds(), 1u);
    const std::string folder = info.TypeName("/music", true);
    EXPECT_FALSE(folder.empty());
    EXPECT_NE(folder, mp3);
    EXPECT_NE(info.TypeName("a.wav", false), mp3);
    // The kit's own kinds come from its content-type file; where the desktop
    // knows nothing but "unknown", the extension names the type.
    EXPECT_EQ(info.TypeName("REC01.QKA", false), "KD5200 voice recording (QKA)");
    EXPECT_EQ(info.TypeName("/music/VOICE001.QDX", false), "KD5200 voice recording (QDX)");
    EXPECT_EQ(info.TypeName("fw.hex", false), "Intel HEX firmware");
    EXPECT_EQ(info.TypeName("x.zzqq", false), "ZZQQ File");
}

TEST(ShellInfo, ExecutablesWithoutExtension) {
    testenv::ScratchDir dir;
    testenv::WriteText(dir / "tool", "#!/bin/sh\n");
    testenv::WriteText(dir / "notes", "text");
    chmod((dir / "tool").c_str(), 0755);
    EXPECT_EQ(platform::ShellKindKey(dir / "tool", false), "/executable");
    EXPECT_EQ(platform::ShellKindKey(dir / "notes", false), "");
    EXPECT_EQ(platform::ShellKindKey(dir / "Song.Mp3", false), ".mp3");
    EXPECT_EQ(platform::ShellKindKey(dir / "dir.d", true), "/folder");
    // A bare name (a file on the player) never looks at the current folder.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    EXPECT_EQ(platform::ShellKindKey("tool", false), "");
    std::filesystem::current_path(previous);
    GioShellInfo info;
    EXPECT_NE(info.TypeName(dir / "tool", false), info.TypeName(dir / "notes", false));
}

TEST(ShellInfo, IconsAtBothSizes) {
    GioShellInfo info;
    for (int size : {16, 32}) {
        const wxBitmap file = info.Icon("x.mp3", false, size);
        ASSERT_TRUE(file.IsOk()) << size;
        EXPECT_EQ(file.GetWidth(), size);
        EXPECT_EQ(file.GetHeight(), size);
        const wxBitmap folder = info.Icon("/tmp", true, size);
        ASSERT_TRUE(folder.IsOk()) << size;
        EXPECT_EQ(folder.GetWidth(), size);
    }
    // An extension nobody knows still gets an icon.
    EXPECT_TRUE(info.Icon("x.zzqq", false, 16).IsOk());
}

// Recordings, firmware and the LCD font have the kit's own icons (installed
// with its content types), not those of MP3, plain text or fonts at large.
TEST(ShellInfo, TheKitsKindsHaveIconsOfTheirOwn) {
    GioShellInfo info;
    for (int size : {16, 32}) {
        const auto pixels = [&](const char* name) {
            const wxImage image = info.Icon(name, false, size).ConvertToImage();
            EXPECT_EQ(image.GetWidth(), size) << name;
            return std::string(reinterpret_cast<const char*>(image.GetData()),
                               static_cast<size_t>(image.GetWidth() * image.GetHeight() * 3));
        };
        const std::string qka = pixels("REC01.QKA"), hex = pixels("fw.hex"),
                          font = pixels("LCD.FOT");
        // Compared as booleans: a failure would print every pixel.
        EXPECT_TRUE(pixels("VOICE001.QDX") == qka) << size;
        for (const std::string* own : {&qka, &hex, &font})
            for (const char* other : {"x.mp3", "notes.txt", "x.ttf"})
                EXPECT_FALSE(*own == pixels(other)) << other << " at " << size;
        EXPECT_TRUE(qka != hex && qka != font && hex != font) << size;
    }
}

} // namespace
