// Number and date texts, and file dialog filters.
#include "base/platform/file_dialog.h"
#include "base/platform/locale_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(GroupedNumber, ThousandsSeparators) {
    EXPECT_EQ(platform::FormatGroupedNumber(0), "0");
    EXPECT_EQ(platform::FormatGroupedNumber(999), "999");
    EXPECT_EQ(platform::FormatGroupedNumber(1000), "1,000");
    EXPECT_EQ(platform::FormatGroupedNumber(1465), "1,465");
    EXPECT_EQ(platform::FormatGroupedNumber(4194304), "4,194,304");
    EXPECT_EQ(platform::FormatGroupedNumber(18446744073709551615ull), "18,446,744,073,709,551,615");
}

TEST(FileTime, ShortDateAndTimeWithoutSecondsInLocalTime) {
    // The C locale: "%m/%d/%y %H:%M", in the user's time zone.
    setenv("LC_ALL", "C", 1);
    setenv("TZ", "America/New_York", 1);
    EXPECT_EQ(platform::FormatFileTime(1136214245), "01/02/06 10:04"); // 2006-01-02 15:04:05 UTC
    EXPECT_EQ(platform::FormatFileTime(0), "12/31/69 19:00");
    // Summer time moves the offset.
    EXPECT_EQ(platform::FormatFileTime(1151852645), "07/02/06 11:04"); // 2006-07-02 15:04:05 UTC
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(platform::FormatFileTime(1136214245), "01/02/06 15:04");
    unsetenv("TZ");
}

TEST(FileTime, SecondsLeaveEveryTimeFormat) {
    using platform::TimeFormatWithoutSeconds;
    EXPECT_EQ(TimeFormatWithoutSeconds("%H:%M:%S", ""), "%H:%M");
    EXPECT_EQ(TimeFormatWithoutSeconds("%T", ""), "%H:%M");
    EXPECT_EQ(TimeFormatWithoutSeconds("%r", "%I:%M:%S %p"), "%I:%M %p");
    EXPECT_EQ(TimeFormatWithoutSeconds("%H.%M.%S", ""), "%H.%M");
    // Korean and Japanese write a unit after each number; the seconds' goes too.
    EXPECT_EQ(TimeFormatWithoutSeconds("%H시 %M분 %S초", ""), "%H시 %M분");
    EXPECT_EQ(TimeFormatWithoutSeconds("%H時%M分%S秒", ""), "%H時%M分");
    EXPECT_EQ(TimeFormatWithoutSeconds("%p %I:%M:%S", ""), "%p %I:%M");
    EXPECT_EQ(TimeFormatWithoutSeconds("%l:%M:%S %p %Z", ""), "%l:%M %p %Z");
    EXPECT_EQ(TimeFormatWithoutSeconds("%H:%M", ""), "%H:%M");
    // A format the rules cannot reduce falls back to hours and minutes.
    EXPECT_EQ(TimeFormatWithoutSeconds("%s", ""), "%H:%M");
}

TEST(FileFilter, WindowsFilterToWildcard) {
    EXPECT_EQ(platform::FilterToWildcard("Intel Hex File(*.hex)\n*.hex\nAll Files(*.*)\n*.*\n\n"),
              "Intel Hex File(*.hex)|*.hex;*.[hH][eE][xX]|All Files(*.*)|*");
    EXPECT_EQ(platform::FilterToWildcard("Bitmap font(*.fot)\n*.fot\n\n"),
              "Bitmap font(*.fot)|*.fot;*.[fF][oO][tT]");
    // Several patterns in one entry; a pattern without letters stays as it is.
    EXPECT_EQ(platform::FilterToWildcard("Sound(*.mp3;*.wav)\n*.mp3;*.WAV\nNumbered\n*.1\n"),
              "Sound(*.mp3;*.wav)|*.mp3;*.[mM][pP]3;*.WAV;*.[wW][aA][vV]|Numbered|*.1");
    // Everything after the empty line, and a description without patterns, is ignored.
    EXPECT_EQ(platform::FilterToWildcard("A\n*.a\n\nB\n*.b\n"), "A|*.a;*.[aA]");
    EXPECT_EQ(platform::FilterToWildcard("Lonely"), "");
    EXPECT_EQ(platform::FilterToWildcard(""), "");
}

} // namespace
