// The configuration dialog, run modally and driven from a script: tree
// clicks, field changes, Browse with scripted file dialogs, OK and Cancel.
#include "lib/maint/firmware_upgrade.h"
#include "player_fixture.h"
#include "base/resources/ids.h"
#include "views/settings/config_dialog.h"
#include "lib/settings/settings_store.h"
#include "tests/support/gui_harness/gui_harness.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace {

class ConfigDialogTest : public playertest::PlayerTest {
protected:
    // The dialog while it runs.
    static HConfigDialog* Dialog() {
        for (wxWindow* top : wxTopLevelWindows)
            if (auto* d = dynamic_cast<HConfigDialog*>(top); d && d->IsModal()) return d;
        return nullptr;
    }
    static wxTextCtrl* Edit(int page, int id) {
        return static_cast<wxTextCtrl*>(Dialog()->Page(page)->FindWindow(id));
    }
    static wxRadioButton* Radio(int page, int id) {
        return static_cast<wxRadioButton*>(Dialog()->Page(page)->FindWindow(id));
    }
    static wxCheckBox* Verify() {
        return static_cast<wxCheckBox*>(Dialog()->Page(0)->FindWindow(ids::kVerifyCopiesCheck));
    }
    static wxString Caption() {
        return static_cast<wxStaticBox*>(Dialog()->FindWindow(ids::kConfigPageGroup))->GetLabel();
    }
    // Types text into a field as a person would, replacing what it held.
    static void Type(int page, int id, const std::string& text) {
        wxTextCtrl* edit = Edit(page, id);
        edit->SetFocus();
        edit->SelectAll();
        gui::Pump(50);
        wxUIActionSimulator().Text(text.c_str());
        gui::Pump(50);
        EXPECT_EQ(edit->GetValue(), text);
    }
    static void Press(int id) {
        wxWindow* button = Dialog()->FindWindow(id);
        ASSERT_NE(button, nullptr) << id;
        gui::SendButton(button, id);
    }
    // Clicks the page's row with the pointer, and again, as a person would, when a busy
    // machine let the click go by; returns once the page is shown or after
    // three tries.
    static void ClickPage(int n) {
        HPageList* tree = Dialog()->Tree();
        for (int attempt = 0; attempt < 3; ++attempt) {
            wxRect rect;
            // The tree lays out its rows at its own pace.
            gui::PumpUntil([&] {
                rect = tree->PageRect(n);
                return rect.width > 0 && rect.height > 0;
            }, 2000);
            gui::MouseMove(tree->ClientToScreen(rect.GetPosition() +
                                                wxPoint(rect.width / 2, rect.height / 2)));
            gui::MouseDown();
            gui::MouseUp();
            if (gui::PumpUntil([n] { return Dialog()->ShownPage() == n; }, 2000)) return;
        }
    }
    // Runs the dialog with the steps of a script.
    static void Run(gui::Script& script) {
        script.Start();
        ShowConfigurationDialog(nullptr);
        EXPECT_TRUE(script.Done());
    }
};

TEST_F(ConfigDialogTest, TreeClicksShowEachPageUnderItsCaption) {
    gui::Script script(150);
    script
        .Then([] {
            ASSERT_NE(Dialog(), nullptr);
            EXPECT_EQ(Dialog()->GetTitle(), "Configuration");
            // The stored values are shown (first run: the defaults).
            EXPECT_EQ(Edit(0, ids::kFormatTimeoutEdit)->GetValue(), "300000");
            EXPECT_TRUE(Radio(1, ids::kRomStandAloneRadio)->GetValue());
            EXPECT_EQ(Edit(4, ids::kRawCountEdit)->GetValue(), "1");
            EXPECT_FALSE(Verify()->GetValue());
            EXPECT_EQ(Verify()->GetLabel(), "Verify files after copying");
            EXPECT_EQ(Dialog()->ShownPage(), 0);
            EXPECT_EQ(Caption(), " Setting Timeout ");
            ClickPage(1);
        })
        .Then([] {
            EXPECT_EQ(Dialog()->ShownPage(), 1);
            EXPECT_TRUE(Dialog()->Page(1)->IsShown());
            EXPECT_FALSE(Dialog()->Page(0)->IsShown());
            EXPECT_EQ(Caption(), " ROM Selection ");
            ClickPage(4);
        })
        .Then([] {
            EXPECT_EQ(Caption(), " Raw Data Read Configuration ");
            ClickPage(3);
        })
        .Then([] {
            EXPECT_EQ(Caption(), " QDX Configuration ");
            Press(ids::kIdCancel);
        });
    Run(script);
}

// The page list by keys: arrows and End choose pages, F2 and typing open
// no title for editing, Tab leaves the list for the page's first field.
TEST_F(ConfigDialogTest, KeysInThePageListChoosePagesAndTabLeavesIt) {
    gui::Script script(150);
    script.Then([] {
        HPageList* tree = Dialog()->Tree();
        tree->SetFocus();
        gui::PumpUntil([tree] { return wxWindow::FindFocus() == tree; }, 2000);
        gui::KeyPress(WXK_DOWN);
        EXPECT_TRUE(gui::PumpUntil([] { return Dialog()->ShownPage() == 1; }, 2000));
        EXPECT_EQ(tree->ChosenPage(), 1);
        gui::KeyPress(WXK_END);
        EXPECT_TRUE(gui::PumpUntil([] { return Dialog()->ShownPage() == 4; }, 2000));
        EXPECT_EQ(Caption(), " Raw Data Read Configuration ");
        gui::KeyPress(WXK_F2);
        gui::Pump(100);
        // No field opened on the title: the keys still go to the list.
        EXPECT_EQ(wxWindow::FindFocus(), tree);
        gui::KeyPress(WXK_HOME);
        EXPECT_TRUE(gui::PumpUntil([] { return Dialog()->ShownPage() == 0; }, 2000));
        EXPECT_EQ(tree->ChosenPage(), 0);
        gui::KeyPress(WXK_TAB);
        EXPECT_TRUE(gui::PumpUntil(
            [] { return wxWindow::FindFocus() == Edit(0, ids::kReceiveTimeoutEdit); }, 2000));
        Press(ids::kIdCancel);
    });
    Run(script);
}

TEST_F(ConfigDialogTest, CancelDiscardsAndOkSavesEverything) {
    gui::Script cancel;
    cancel.Then([] {
        Edit(0, ids::kReceiveTimeoutEdit)->ChangeValue("1234");
        Radio(1, ids::kRomMdsRadio)->SetValue(true);
        Press(ids::kIdCancel);
    });
    Run(cancel);
    EXPECT_EQ(DevGetTimeouts().receive, 30000);
    EXPECT_EQ(settings::GetROMSelect(), 0);

    // What the settings cannot keep is refused with a message naming the
    // field, and the dialog stays open until the field is mended.
    const std::string longPath = "/" + std::string(119, 'p'); // 120 characters
    dialogs_.answers = {longPath, std::string("/usr/bin/xxd")};
    size_t boxesBefore = 0;
    bool openAfterRefusal = true;
    gui::Script ok(150);
    ok.Then([] {
          // The check box is ticked by a click on its own text.
          gui::MouseMove(gui::ScreenCenter(*Verify()));
          gui::MouseDown();
          gui::MouseUp();
          gui::Pump(50);
          EXPECT_TRUE(Verify()->GetValue());
          Type(0, ids::kReceiveTimeoutEdit, "45000");
          Type(0, ids::kFormatTimeoutEdit, "abc");
          Radio(1, ids::kRomMdsRadio)->SetValue(true);
          Radio(2, ids::kBinaryRadio)->SetValue(true);
          Edit(4, ids::kRawAddrEdit)->ChangeValue(" \t0x100");
          Edit(4, ids::kRawCountEdit)->ChangeValue("12");
          Press(ids::kRawFileBrowse);
      })
        .Then([] { Press(ids::kRawViewerBrowse); })
        .Then([this, &boxesBefore] {
            boxesBefore = boxes_.shown.size();
            Press(ids::kIdOk);
        })
        .Then([this, &openAfterRefusal] {
            openAfterRefusal = openAfterRefusal && Dialog() != nullptr;
            EXPECT_EQ(Dialog()->ShownPage(), 0);
            EXPECT_EQ(wxWindow::FindFocus(), Edit(0, ids::kFormatTimeoutEdit));
            Type(0, ids::kFormatTimeoutEdit, "-1");
            Press(ids::kIdOk);
        })
        .Then([this, &openAfterRefusal] {
            openAfterRefusal = openAfterRefusal && Dialog() != nullptr;
            Type(0, ids::kFormatTimeoutEdit, "600000");
            Press(ids::kIdOk);
        })
        .Then([this, &openAfterRefusal, longPath] {
            openAfterRefusal = openAfterRefusal && Dialog() != nullptr;
            EXPECT_EQ(Dialog()->ShownPage(), 4);
            EXPECT_EQ(Edit(4, ids::kRawFileEdit)->GetValue(), longPath); // shown whole
            Type(4, ids::kRawFileEdit, "/tmp/raw.dat");
            Press(ids::kIdOk);
        });
    Run(ok);
    EXPECT_TRUE(openAfterRefusal);
    ASSERT_EQ(boxes_.shown.size(), boxesBefore + 3);
    const std::string range = " must be a whole number of milliseconds from 100 to 86400000.";
    EXPECT_EQ(boxes_.shown[boxesBefore].text, "\"Formating Timeout [ms]\"" + range);
    EXPECT_EQ(boxes_.shown[boxesBefore + 1].text, "\"Formating Timeout [ms]\"" + range);
    EXPECT_EQ(boxes_.shown[boxesBefore + 2].text,
              "The path in \"File Name to Save\" is 120 bytes long; the settings keep at most 99.");

    // The raw data file may be a new one, and nothing is written when it is
    // chosen (the download asks before replacing); the viewer must be a program.
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_TRUE(dialogs_.shown[0].save);
    EXPECT_EQ(dialogs_.shown[0].options, 0u);
    EXPECT_EQ(dialogs_.shown[0].filter, "Data File(*.dat)\n*.dat\nAll Files(*.*)\n*.*\n\n");
    EXPECT_FALSE(dialogs_.shown[1].save);
    EXPECT_EQ(dialogs_.shown[1].options,
              unsigned{platform::kFileMustExist | platform::kExecutableFilter});

    EXPECT_EQ(DevGetTimeouts().receive, 45000);
    EXPECT_EQ(DevGetTimeouts().send, 20000);
    EXPECT_EQ(DevGetTimeouts().format, 600000);
    EXPECT_EQ(settings::GetROMSelect(), 2);
    EXPECT_EQ(settings::GetAdpcmConvert(), 1);
    EXPECT_EQ(settings::GetQdxConvert(), 0);
    EXPECT_TRUE(settings::GetVerifyCopies());
    EXPECT_EQ(settings::GetRawDataRange().addr, 256u);
    EXPECT_EQ(settings::GetRawDataRange().count, 12u);
    EXPECT_EQ(settings::GetText(settings::kSongdockSection, settings::kRawDataFileName, ""),
              "/tmp/raw.dat");
    EXPECT_EQ(settings::GetText(settings::kSongdockSection, settings::kRawDataViewer, ""),
              "/usr/bin/xxd");

    // The next upgrade writes through the development system.
    int count = 0, mask = 0;
    ASSERT_TRUE(DevConnect(true, &count, &mask));
    devtest::WriteFile(work_ / "code.bin", "code");
    dialogs_.answers = {work_ / "code.bin"};
    EXPECT_EQ(maint::UpgradeApplicationCode(nullptr), 0);
    EXPECT_NE(Sim("status").find("ROM selection 2"), std::string::npos) << Sim("status");

    gui::Script reopen;
    reopen.Then([] {
        EXPECT_TRUE(Radio(1, ids::kRomMdsRadio)->GetValue());
        EXPECT_TRUE(Radio(2, ids::kBinaryRadio)->GetValue());
        EXPECT_EQ(Edit(4, ids::kRawAddrEdit)->GetValue(), "256");
        EXPECT_TRUE(Verify()->GetValue());
        Press(ids::kIdCancel);
    });
    Run(reopen);
}

} // namespace
