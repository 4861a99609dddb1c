// The list's rules without a display: how columns share the width, which
// widths are stored, and how an edited name keeps its bytes.
#include <gtest/gtest.h>

#include "base/platform/path_text.h"
#include "ui/list/column_widths.h"
#include "ui/list/edited_label.h"

namespace {

constexpr int kDefault = 100;

// Names, size, type and date, none stored, as on a fresh profile.
HColumnWidths FreshColumns() {
    HColumnWidths widths;
    for (int c = 0; c < 4; ++c)
        widths.Add(0, kDefault);
    return widths;
}

void Measure(HColumnWidths& widths, const std::vector<int>& names, int type) {
    widths.NewListing(names.size());
    widths.Measured(0, names, 60, true);
    widths.Measured(1, {70}, 50, true);
    widths.Measured(2, {type}, 60, true);
    widths.Measured(3, {kDefault}, 60, true);
}

} // namespace

TEST(ColumnWidths, FittedWidthsFollowTheListingAndAreNeverStored) {
    HColumnWidths widths = FreshColumns();
    // The one-row drive list fits narrow columns ...
    Measure(widths, {120}, 62);
    widths.Fit(600, kDefault, 0);
    EXPECT_EQ(widths.Given(2), 62);
    EXPECT_EQ(widths.Given(0), 600 - 70 - 62 - kDefault) << "the names take the rest";
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(widths.Stored(c), 0) << c;
    // ... and a folder of many rows widens them again: nothing was kept.
    Measure(widths, std::vector<int>(30, 150), 180);
    widths.Fit(700, kDefault, 10);
    EXPECT_EQ(widths.Given(2), 180);
    EXPECT_EQ(widths.Stored(2), 0);

    // Stored widths and widths set by hand are kept and stored; the names
    // go on filling the room left.
    HColumnWidths stored;
    stored.Add(0, kDefault);
    stored.Add(90, kDefault);
    EXPECT_EQ(stored.Stored(1), 90);
    const auto changes = stored.SetByHand(1, 120, 500, kDefault, 0);
    EXPECT_EQ(changes, (std::vector<HColumnWidths::Change>{{1, 120}, {0, 380}}));
    EXPECT_EQ(stored.Stored(1), 120);
    EXPECT_EQ(stored.Stored(0), 0);
    stored.SetByHand(0, 200, 500, kDefault, 0);
    EXPECT_EQ(stored.Stored(0), 200);
    EXPECT_TRUE(stored.Fit(900, kDefault, 0).empty()) << "the names no longer follow the room";
}

TEST(ColumnWidths, TheNamesGiveWayAndTheOtherColumnsStayWhole) {
    HColumnWidths widths = FreshColumns();
    std::vector<int> names(12, 400);
    names[5] = 1600; // a 248-character name
    Measure(widths, names, 170);
    widths.Fit(560, kDefault, 0);
    EXPECT_EQ(widths.Given(2), 170) << "the kinds stay whole";
    EXPECT_EQ(widths.Given(0), 560 - 70 - 170 - kDefault);

    // A narrow list: the names go down to their title, below the default
    // width, and the date keeps its time.
    widths.Fit(420, kDefault, 0);
    EXPECT_EQ(widths.Given(0), 80);
    EXPECT_EQ(widths.Given(2), 170);
    EXPECT_EQ(widths.Given(3), kDefault);

    // Narrower still: the long kinds give back what the names cannot,
    // down to their title; short texts never do.
    widths.Fit(300, kDefault, 0);
    EXPECT_EQ(widths.Given(0), 60);
    EXPECT_EQ(widths.Given(2), 70);
    EXPECT_EQ(widths.Given(3), kDefault);
    widths.Fit(200, kDefault, 0);
    EXPECT_EQ(widths.Given(2), 60);
    EXPECT_EQ(widths.Given(0), 60) << "the list scrolls sideways";
}

TEST(ColumnWidths, AWidthStillDifferentAfterTheLayoutTimeWasSetByThePerson) {
    HColumnWidths widths = FreshColumns();
    Measure(widths, {120, 130}, 150);
    widths.Fit(600, kDefault, 1000);
    const int type = widths.Given(2);
    std::vector<int> shown{widths.Given(0), widths.Given(1), type + 40, widths.Given(3)};
    // The table has not laid the new widths out yet: nothing is decided.
    ASSERT_TRUE(widths.Watching());
    widths.Watch(shown, 1000 + HColumnWidths::kLayoutMs - 1);
    EXPECT_EQ(widths.Stored(2), 0);
    EXPECT_EQ(widths.Reported(2, type + 40), type) << "the given width while laying out";
    // Later, the dragged column is the person's, the others stay fitted.
    widths.Watch(shown, 1000 + HColumnWidths::kLayoutMs);
    EXPECT_EQ(widths.Stored(2), type + 40);
    EXPECT_EQ(widths.Stored(1), 0);
    EXPECT_EQ(widths.Stored(0), 0);
    EXPECT_EQ(widths.Reported(2, type + 40), type + 40);
    // Widths laid out as given end the watch of a pending layout.
    shown[2] = widths.Given(2);
    widths.Watch(shown, 5000);
    EXPECT_EQ(widths.Stored(2), type + 40);
}

TEST(EditedLabel, TheNamesOwnBytesStayWhereTheTextWasLeftAsShown) {
    const std::string name = "M\xfasica \xc3.mp3";
    const wxString shown = platform::PathToDisplayText(name);
    ASSERT_EQ(shown, wxString::FromUTF8("M\uFFFDsica \uFFFD.mp3"));
    const auto bytes = [&](const wxString& edited) {
        return platform::PathFromText(EditedLabelText(name, edited));
    };
    EXPECT_EQ(bytes(shown), name);
    EXPECT_EQ(bytes(shown + "2"), name + "2");
    EXPECT_EQ(bytes(wxString::FromUTF8("M\uFFFDsica \uFFFD 2.mp3")), "M\xfasica \xc3 2.mp3");
    EXPECT_EQ(bytes(wxString::FromUTF8("Musica \uFFFD.mp3")), "Musica \xc3.mp3");
    // A whole new name is the text typed, a mark typed included.
    EXPECT_EQ(bytes(wxString::FromUTF8("new \uFFFD")), "new \xef\xbf\xbd");
    EXPECT_EQ(bytes(""), "");
    // Repeated letters at the seam are not taken twice.
    EXPECT_EQ(platform::PathFromText(EditedLabelText("aa", "aaa")), "aaa");
    EXPECT_EQ(platform::PathFromText(EditedLabelText("aaa", "a")), "a");
}
