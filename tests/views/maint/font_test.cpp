// The LCD font commands on the virtual player.
#include "views/maint/font_info_dialog.h"
#include "maint_fixture.h"
#include "base/resources/ids.h"
#include "lib/settings/settings_store.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

namespace {

using mainttest::MaintTest;

class FontTest : public MaintTest {
protected:
    std::string FontLine() { return Sim("font"); }
};

TEST_F(FontTest, DownloadAsksBeforeReplacingThePlayersFont) {
    Connect();
    ASSERT_TRUE(Enabled(ids::kDownloadFont));
    devtest::WriteFile(work_ / "first.fot", std::string(1000, 'f'));
    devtest::WriteFile(work_ / "second.fot", std::string(2000, 's'));

    dialogs_.answers = {work_ / "first.fot"};
    ASSERT_TRUE(Command(ids::kDownloadFont));
    EXPECT_TRUE(boxes_.shown.empty());
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].title, "LCD UNICODE Font Download");
    EXPECT_EQ(dialogs_.shown[0].filter, "Bitmap font(*.fot)\n*.fot\nAll Files(*.*)\n*.*\n\n");
    EXPECT_NE(FontLine().find("first.fot"), std::string::npos) << FontLine();
    EXPECT_EQ(paneUpdates_, 1);

    // No keeps the present font and asks for no file.
    boxes_.answers = {platform::kIdNo};
    ASSERT_TRUE(Command(ids::kDownloadFont));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].caption, "first.fot");
    EXPECT_EQ(boxes_.shown[0].text, "Already exist the file.\nWill you overwrite?");
    EXPECT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(paneUpdates_, 2);

    boxes_.answers = {platform::kIdYes};
    dialogs_.answers = {work_ / "second.fot"};
    ASSERT_TRUE(Command(ids::kDownloadFont));
    EXPECT_EQ(dialogs_.shown[1].initialPath, work_ / "first.fot");
    EXPECT_NE(FontLine().find("second.fot\t2000"), std::string::npos) << FontLine();
    EXPECT_EQ(settings::GetText(settings::kSongdockSection, settings::kFontName, ""),
              work_ / "second.fot");
}

TEST_F(FontTest, UploadEraseAndInformation) {
    Connect();
    devtest::WriteFile(work_ / "lcd.fot", "font bytes");
    dialogs_.answers = {work_ / "lcd.fot"};
    ASSERT_TRUE(Command(ids::kDownloadFont));

    // Upload into a folder given with a final slash; a second upload asks,
    // with the path as caption, and Cancel leaves the file.
    const std::string folder = work_ / "out";
    std::filesystem::create_directory(folder);
    targetFolder_ = folder + "/";
    ASSERT_TRUE(Command(ids::kUploadFont));
    EXPECT_EQ(devtest::ReadFile(folder + "/lcd.fot"), "font bytes");
    EXPECT_TRUE(boxes_.shown.empty());
    devtest::WriteFile(folder + "/lcd.fot", "mine");
    boxes_.answers = {platform::kIdCancel};
    ASSERT_TRUE(Command(ids::kUploadFont));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].caption, folder + "/lcd.fot");
    EXPECT_EQ(boxes_.shown[0].secondary, folder + "/lcd.fot");
    EXPECT_EQ(devtest::ReadFile(folder + "/lcd.fot"), "mine");
    EXPECT_EQ(desktopRelists_, 2);
    // Without a target folder nothing happens.
    targetFolder_.reset();
    ASSERT_TRUE(Command(ids::kUploadFont));
    EXPECT_EQ(desktopRelists_, 2);

    // The information dialog shows size and name, and closes with Close.
    wxString size, name;
    gui::Script script;
    script.Then([&] {
        HFontInfoDialog* dialog = nullptr;
        for (wxWindow* top : wxTopLevelWindows)
            if (auto* d = dynamic_cast<HFontInfoDialog*>(top); d && d->IsModal()) dialog = d;
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetTitle(), "KD5200 LCD Font Information");
        size = static_cast<wxTextCtrl*>(dialog->FindWindow(ids::kFontSizeEdit))->GetValue();
        name = static_cast<wxTextCtrl*>(dialog->FindWindow(ids::kFontFileNameEdit))->GetValue();
        gui::SendButton(dialog->FindWindow(ids::kIdCancel), ids::kIdCancel);
    });
    script.Start();
    ASSERT_TRUE(Command(ids::kViewFontInfo));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(size, "10");
    EXPECT_EQ(name, "lcd.fot");

    // Erase asks nothing; then there is no font to show.
    boxes_.shown.clear();
    ASSERT_TRUE(Command(ids::kEraseFont));
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_NE(FontLine().find("no LCD font"), std::string::npos) << FontLine();
    ASSERT_TRUE(Command(ids::kViewFontInfo));
    EXPECT_EQ(boxes_.shown.size(), 1u); // the library's message, no dialog
}

} // namespace
