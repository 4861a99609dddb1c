#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "ui/controls/rebar.h"
#include "ui/controls/status_bar.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "base/resources/menus.h"
#include "tests/support/gui_harness/gui_harness.h"
#include "ui/controls/menu_builder.h"

using controls::HReBar;
using controls::HStatusBar;

namespace {

// A main window with both bars, as the application builds it; its firmware
// pane handler shows whatever the test puts in firmware.
class BarsFrame : public wxFrame {
public:
    BarsFrame() : wxFrame(nullptr, wxID_ANY, "bars", wxPoint(40, 40), wxSize(640, 400)) {
        client = new wxPanel(this);
        rebar = new HReBar(this);
        band = new wxChoice(rebar, ids::kFilterCombo, wxDefaultPosition, wxSize(250, -1));
        band->Append("*.mp3");
        band->Append("*.*");
        rebar->SetBand(band);
        rebar->BindToggle();
        status = new HStatusBar(this);
        status->BindToggle();
        SetMenuBar(controls::BuildMenuBar(menus::MainMenu()).release());
        Bind(
            wxEVT_UPDATE_UI,
            [this](wxUpdateUIEvent& e) {
                if (firmwareEnabled)
                    e.SetText(firmware);
                else
                    e.Enable(false);
            },
            ids::kFirmwarePane);
    }
    wxPanel* client;
    HReBar* rebar;
    wxChoice* band;
    HStatusBar* status;
    wxString firmware = "KD5200 1.0";
    bool firmwareEnabled = true;
};

class BarsTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new BarsFrame;
        gui::ShowAndWait(frame);
    }
    void TearDown() override {
        frame->Destroy();
        gui::Pump(20);
    }
    BarsFrame* frame = nullptr;
};

} // namespace

TEST_F(BarsTest, StatusBarPanesComeInOrderWithTheFirmwarePaneSizedByItsString) {
    HStatusBar* bar = frame->status;
    ASSERT_EQ(bar->GetFieldsCount(), 5);
    const int expected[] = {0, ids::kIndicatorCaps, ids::kIndicatorNum, ids::kIndicatorScroll,
                            ids::kFirmwarePane};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar->GetPaneId(i), expected[i]);
        EXPECT_EQ(bar->CommandToIndex(expected[i]), i);
    }
    EXPECT_EQ(bar->CommandToIndex(1234), -1);

    wxClientDC dc(bar);
    dc.SetFont(bar->GetFont());
    const int textWidth = dc.GetTextExtent(wxString::FromUTF8(strings::Load(3200))).x;
    wxRect firmware, caps, message;
    ASSERT_TRUE(bar->GetFieldRect(4, firmware));
    ASSERT_TRUE(bar->GetFieldRect(1, caps));
    ASSERT_TRUE(bar->GetFieldRect(0, message));
    EXPECT_GE(firmware.width, textWidth);
    EXPECT_LT(firmware.width, textWidth + 60);
    EXPECT_LT(caps.width, firmware.width);
    // The message pane takes the rest, left of the indicators.
    EXPECT_LT(message.x, caps.x);
    EXPECT_LT(caps.x, firmware.x);
}

TEST_F(BarsTest, IndicatorTextsComeFromTheFramesUpdateHandlers) {
    HStatusBar* bar = frame->status;
    bar->UpdatePanes();
    EXPECT_EQ(bar->GetPaneText(ids::kFirmwarePane), "KD5200 1.0");
    frame->firmware = "Unknown Firmware Version";
    gui::Pump(50); // idle passes refresh the panes
    EXPECT_EQ(bar->GetPaneText(ids::kFirmwarePane), "Unknown Firmware Version");
    frame->firmwareEnabled = false;
    bar->UpdatePanes();
    EXPECT_EQ(bar->GetPaneText(ids::kFirmwarePane), "");

    // Without a handler a key indicator follows the keyboard.
    const bool caps = wxGetKeyState(WXK_CAPITAL);
    EXPECT_EQ(bar->GetPaneText(ids::kIndicatorCaps), caps ? "CAP" : "");
    // A handler may take a key indicator over.
    frame->Bind(
        wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(true); }, ids::kIndicatorNum);
    bar->UpdatePanes();
    EXPECT_EQ(bar->GetPaneText(ids::kIndicatorNum), "NUM");

    bar->SetPaneText(0, "Ready");
    EXPECT_EQ(bar->GetStatusText(0), "Ready");
}

TEST_F(BarsTest, TogglesShowAndHideTheRebarBandAndTheStatusBar) {
    EXPECT_EQ(frame->GetToolBar(), frame->rebar);
    EXPECT_EQ(frame->rebar->GetBand(), frame->band);
    EXPECT_TRUE(frame->band->IsShownOnScreen());
    EXPECT_TRUE(gui::RunUpdateUI(frame, ids::kViewToolBar).checked);
    const int clientHeight = frame->GetClientSize().y;

    ASSERT_TRUE(gui::ChooseFromMenuBar(frame, controls::MenuItemId(ids::kViewToolBar)));
    gui::Pump(100);
    EXPECT_FALSE(frame->rebar->IsShown());
    EXPECT_FALSE(frame->band->IsShownOnScreen());
    const gui::UpdateState hidden = gui::RunUpdateUI(frame, ids::kViewToolBar);
    EXPECT_TRUE(hidden.setChecked);
    EXPECT_FALSE(hidden.checked);
    EXPECT_GT(frame->GetClientSize().y, clientHeight) << "the client area takes the bar's room";
    EXPECT_EQ(frame->client->GetPosition().y, 0);

    ASSERT_TRUE(gui::ChooseFromMenuBar(frame, controls::MenuItemId(ids::kViewToolBar)));
    gui::Pump(100);
    EXPECT_TRUE(frame->rebar->IsShown());
    EXPECT_TRUE(gui::RunUpdateUI(frame, ids::kViewToolBar).checked);
    EXPECT_EQ(frame->GetClientSize().y, clientHeight);

    // The status bar's toggle likewise gives its room to the client area.
    ASSERT_TRUE(gui::ChooseFromMenuBar(frame, controls::MenuItemId(ids::kViewStatusBar)));
    gui::Pump(100);
    EXPECT_FALSE(frame->status->IsShown());
    EXPECT_FALSE(gui::RunUpdateUI(frame, ids::kViewStatusBar).checked);
    EXPECT_GT(frame->GetClientSize().y, clientHeight);
}
