#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/tooltip.h>

#include "ui/controls/icon_button.h"
#include "base/platform/gui/accessibility.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "tests/support/gui_harness/gui_harness.h"

using controls::HIconButton;

namespace {

// A frame with two transfer buttons and an Up button that records the
// commands reaching its panel.
class ButtonFrame : public wxFrame {
public:
    ButtonFrame() : wxFrame(nullptr, wxID_ANY, "buttons", wxPoint(50, 50), wxSize(300, 200)) {
        panel = new wxPanel(this);
        download = new HIconButton(panel, ids::kDownloadToInternal, ids::kDownloadIcon,
                                   wxString::FromUTF8(strings::Load(sid::kTipDownloadInternal)),
                                   wxPoint(10, 10));
        upload = new HIconButton(panel, ids::kUploadFromInternal, ids::kUploadIcon,
                                 wxString::FromUTF8(strings::Load(sid::kTipUploadInternal)),
                                 wxPoint(10, 60));
        up = new HIconButton(panel, ids::kUpButton, ids::kUpIcon, wxString(), wxPoint(100, 10),
                             wxSize(28, 24));
        panel->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { commands.push_back(e.GetId()); });
    }
    wxPanel* panel;
    HIconButton* download;
    HIconButton* upload;
    HIconButton* up;
    std::vector<int> commands;
};

class IconButtonTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new ButtonFrame;
        gui::ShowAndWait(frame);
    }
    void TearDown() override {
        frame->Destroy();
        gui::Pump(20);
    }
    void ClickWithMouse(wxWindow* w) {
        gui::MouseMove(gui::ScreenCenter(*w));
        gui::Pump(20);
        gui::MouseDown();
        gui::Pump(20);
        gui::MouseUp();
        gui::Pump(50);
    }
    ButtonFrame* frame = nullptr;
};

} // namespace

TEST_F(IconButtonTest, ShowsItsIconAndIsNamedByItsTip) {
    EXPECT_EQ(frame->download->GetIcon().GetSize(), wxSize(32, 32));
    // A button smaller than its best shrinks the icon to fit.
    EXPECT_EQ(frame->up->GetSize(), wxSize(28, 24));
    EXPECT_LT(frame->up->GetIcon().GetHeight(), 24);
    // The icon says nothing to a screen reader: the tip names the button.
    EXPECT_EQ(platform::GetAccessibleName(frame->download), frame->download->GetToolTipText());
    EXPECT_FALSE(platform::GetAccessibleName(frame->download).empty());
}

TEST_F(IconButtonTest, ClicksSendTheButtonsOwnIdAsACommand) {
    ClickWithMouse(frame->download);
    ClickWithMouse(frame->upload);
    ClickWithMouse(frame->up);
    EXPECT_EQ(frame->commands, (std::vector<int>{ids::kDownloadToInternal, ids::kUploadFromInternal,
                                                 ids::kUpButton}));
}

TEST_F(IconButtonTest, ReleasingOutsideTheButtonOrClickingItDisabledSendsNothing) {
    gui::MouseMove(gui::ScreenCenter(*frame->download));
    gui::Pump(20);
    gui::MouseDown();
    gui::Pump(20);
    gui::MouseGlide(gui::ScreenCenter(*frame->download), gui::ScreenCenter(*frame->panel));
    gui::MouseUp();
    gui::Pump(50);
    EXPECT_TRUE(frame->commands.empty());

    frame->upload->Disable();
    ClickWithMouse(frame->upload);
    EXPECT_FALSE(frame->upload->Click());
    EXPECT_TRUE(frame->commands.empty());
}

TEST_F(IconButtonTest, SpaceOnTheFocusedButtonClicksIt) {
    frame->upload->SetFocus();
    gui::PumpUntil([&] { return frame->upload->HasFocus(); }, 1000);
    gui::KeyPress(WXK_SPACE);
    gui::Pump(50);
    EXPECT_EQ(frame->commands, std::vector<int>{ids::kUploadFromInternal});
}

TEST_F(IconButtonTest, CarriesItsToolTip) {
    ASSERT_NE(frame->download->GetToolTip(), nullptr);
    EXPECT_EQ(frame->download->GetToolTipText(), "Download To Internal Memory");
    EXPECT_EQ(frame->upload->GetToolTipText(), "Upload From Internal Memory");
    EXPECT_EQ(frame->up->GetToolTip(), nullptr);
}
