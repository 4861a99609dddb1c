// ShowSystemError: system texts, the fallback text, the buffer limit and the box.
#include "lib/lists/system_error.h"

#include "base/platform/message_box.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

TEST(SystemErrorTest, TextFormGivesTheSystemTextOrTheFallback) {
    char buffer[256];
    ShowSystemError(ENOENT, buffer, static_cast<int>(sizeof buffer));
    EXPECT_STREQ(buffer, std::strerror(ENOENT));
    ShowSystemError(99999, buffer, static_cast<int>(sizeof buffer));
    EXPECT_STREQ(buffer, "System Internal Errors(null)");

    errno = EACCES; // code 0: the last error
    ShowSystemError(0, buffer, static_cast<int>(sizeof buffer));
    EXPECT_STREQ(buffer, std::strerror(EACCES));

    char small[8];
    ShowSystemError(99999, small, static_cast<int>(sizeof small));
    EXPECT_STREQ(small, "System ");
    std::strcpy(small, "keep");
    ShowSystemError(ENOENT, small, 0);
    EXPECT_STREQ(small, "keep");
}

TEST(SystemErrorTest, BoxFormShowsAWarningOwnedByTheWindow) {
    int dummyWindow = 0;
    void* seenOwner = nullptr;
    std::string seenText;
    unsigned seenStyle = 0;
    auto old = platform::SetMessageBoxHandler(
        [&](void* owner, const std::string& text, const std::string& caption, unsigned style) {
            seenOwner = owner;
            seenText = text;
            seenStyle = style;
            EXPECT_EQ(caption, "");
            return static_cast<int>(platform::kIdOk);
        });
    ShowSystemError(ENOSPC, &dummyWindow);
    platform::SetMessageBoxHandler(old);
    EXPECT_EQ(seenOwner, &dummyWindow);
    EXPECT_EQ(seenText, std::strerror(ENOSPC));
    EXPECT_EQ(seenStyle & platform::kMbIconMask, platform::kMbIconWarning);
    EXPECT_EQ(seenStyle & platform::kMbButtonsMask, platform::kMbOk);
}

} // namespace
