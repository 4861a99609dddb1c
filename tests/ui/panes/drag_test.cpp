// Drags between test panes with real mouse and keyboard input through the
// X server. The steps run from a timer, so that they go on inside the modal
// drag loop that the list's begin-drag event starts.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/frame.h>

#include "base/platform/gui/wx_services.h"
#include "base/platform/message_box.h"

#include "tests/ui/panes/test_panes.h"
#include "tests/support/gui_harness/gui_harness.h"

namespace {

// Presses OK on the visible message box; tries again until one is shown.
gboolean AnswerMessageBox(gpointer data) {
    auto* answered = static_cast<bool*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w && !*answered; w = w->next) {
        if (!GTK_IS_MESSAGE_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data)))
            continue;
        *answered = true;
        gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_OK);
    }
    g_list_free(windows);
    return *answered ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

// A desktop-like pane on the left whose list is the drop window, and two
// memory-like panes on the right that receive on their whole window; the
// lower one cannot receive. Peers as the client view registers them.
class DragFrame : public wxFrame {
public:
    DragFrame() : wxFrame(nullptr, wxID_ANY, "drag", wxPoint(20, 20), wxSize(700, 420)) {
        auto* client = new wxPanel(this);
        desktop =
            new TestPane(client, wxPoint(5, 5), wxSize(300, 380), TestPane::DropWindow::List, "pc");
        internal = new TestPane(client, wxPoint(360, 5), wxSize(300, 185),
                                TestPane::DropWindow::Pane, "int");
        external = new TestPane(client, wxPoint(360, 200), wxSize(300, 185),
                                TestPane::DropWindow::Pane, "ext");
        external->receiving = false;
        desktop->AddPeer(internal);
        desktop->AddPeer(external);
        internal->AddPeer(desktop);
        external->AddPeer(desktop);
    }
    TestPane* desktop;
    TestPane* internal;
    TestPane* external;
};

class DragTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new DragFrame;
        gui::ShowAndWait(frame);
    }
    void TearDown() override {
        gui::PumpUntil([&] { return !Dragging(); }, 2000);
        EXPECT_EQ(wxWindow::GetCapture(), nullptr);
        frame->Destroy();
        gui::Pump(20);
    }
    bool Dragging() const {
        return frame->desktop->IsDragging() || frame->internal->IsDragging() ||
               frame->external->IsDragging();
    }

    // Presses the left button on the first selected row of from and moves
    // in steps to the point to; the drag begins on the way.
    void PressAndMove(gui::Script& script, TestPane* from, const wxPoint& to) {
        const wxPoint start = gui::RowScreenPoint(*from->list, from->list->GetFirstSelected());
        script.Then([=] { gui::MouseMove(start); }).Then([] { gui::MouseDown(); });
        for (int i = 1; i <= 4; ++i)
            script.Then([=] { gui::MouseMove(start + wxPoint(3 * i, 2 * i)); });
        const wxPoint from2 = start + wxPoint(12, 8);
        for (int i = 1; i <= 5; ++i)
            script.Then([=] { gui::MouseMove(from2 + (to - from2) * i / 5); });
    }

    // Records the drag state of source at this step.
    struct Seen {
        bool dragging = false;
        bool allowed = false;
        bool listHasMouse = false;
        wxSize image;
        wxRect imageOnScreen;
        wxPoint cursor;
        std::string shape; // the cursor's name as the X server shows it
    };
    // The theme's and the core cursors' names of the no-entry sign.
    static bool NoEntry(const std::string& shape) {
        for (const char* name : {"not-allowed", "crossed_circle", "no-drop", "X_cursor", "pirate"})
            if (shape == name) return true;
        return false;
    }
    void Look(gui::Script& script, TestPane* source, Seen& seen) {
        script.Then([source, &seen] {
            seen.dragging = source->IsDragging();
            seen.allowed = source->DropAllowed();
            seen.image = source->GetDragImageSize();
            seen.imageOnScreen = source->GetDragImageRect();
            seen.cursor = source->GetLastPoint();
            seen.listHasMouse = wxWindow::GetCapture() == source->CaptureWindow();
            seen.shape = gui::ShownCursorName();
        });
    }

    void RunScript(gui::Script& script) {
        ASSERT_TRUE(script.Run(15000)) << "the input steps did not all run";
        gui::PumpUntil([&] { return !Dragging(); }, 3000);
        EXPECT_FALSE(Dragging());
    }

    static wxPoint Inside(const wxWindow& w, int x, int y) {
        return w.ClientToScreen(wxPoint(x, y));
    }

    DragFrame* frame = nullptr;
};

} // namespace

TEST_F(DragTest, DroppingOnAPaneThatCanReceiveSendsTheSelectionToIt) {
    HFileListCtrl* list = frame->desktop->list;
    // A folder whose name is not UTF-8 travels by its bytes.
    frame->desktop->names[3] = "/srv/M\xfasica";
    list->RefreshRows();
    list->SelectRow(1);
    list->SelectRow(3);
    gui::Pump(50); // the table lays its rows out again
    const wxRect first = list->GetRowRect(1);
    const wxRect last = list->GetRowRect(3);

    gui::Script script;
    Seen seen;
    // Onto the memory pane's title line: the whole pane counts.
    PressAndMove(script, frame->desktop, Inside(*frame->internal, 60, 10));
    Look(script, frame->desktop, seen);
    script.Then([] { gui::MouseUp(); });
    RunScript(script);

    EXPECT_TRUE(frame->desktop->beganDrag);
    EXPECT_TRUE(seen.dragging);
    EXPECT_TRUE(seen.allowed) << "the cursor shows the pane can receive";
    EXPECT_FALSE(seen.shape.empty());
    EXPECT_FALSE(NoEntry(seen.shape)) << seen.shape;
    EXPECT_TRUE(seen.listHasMouse);
    EXPECT_EQ(seen.image, first.Union(last).GetSize()) << "one image shows every selected row";
    // The image follows the cursor, which keeps its place on the first row.
    EXPECT_EQ(seen.imageOnScreen.GetSize(), seen.image);
    EXPECT_TRUE(seen.imageOnScreen.Contains(seen.cursor));
    EXPECT_LT(seen.cursor.y - seen.imageOnScreen.y, first.height + 8);
    EXPECT_TRUE(frame->desktop->dragResult);
    ASSERT_EQ(frame->desktop->sentTo, std::vector<HFileTarget*>{frame->internal});
    EXPECT_EQ(frame->internal->received, (std::vector<std::string>{"pc1.mp3", "/srv/M\xfasica"}));
    EXPECT_TRUE(frame->internal->transferred);
    EXPECT_TRUE(frame->external->received.empty());
}

TEST_F(DragTest, DroppingOnTheHeaderOfTheDesktopListCountsAsTheList) {
    frame->internal->list->SelectRow(0);
    gui::Script script;
    PressAndMove(script, frame->internal, Inside(*frame->desktop->list, 60, 5));
    script.Then([] { gui::MouseUp(); });
    RunScript(script);
    ASSERT_EQ(frame->internal->sentTo, std::vector<HFileTarget*>{frame->desktop});
    EXPECT_EQ(frame->desktop->received, std::vector<std::string>{"int0.mp3"});
}

TEST_F(DragTest, EscapeOrTheRightButtonCancelsTheDrag) {
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "right button");
        frame->desktop->list->SelectRow(2);
        gui::Script script;
        Seen seen;
        PressAndMove(script, frame->desktop, Inside(*frame->internal, 100, 80));
        Look(script, frame->desktop, seen);
        if (escape)
            script.Then([] { gui::KeyPress(WXK_ESCAPE); }).Then([] {});
        else
            script.Then([] { gui::MouseDown(2); }).Then([] { gui::MouseUp(2); });
        script.Then([] { gui::MouseUp(); });
        RunScript(script);
        EXPECT_TRUE(seen.dragging);
        EXPECT_TRUE(frame->desktop->sentTo.empty());
        EXPECT_TRUE(frame->internal->received.empty());
    }
}

TEST_F(DragTest, APaneThatCannotReceiveTheGapAndTheSourcesOwnListTakeNothing) {
    frame->desktop->list->SelectRow(0);
    const std::pair<const char*, wxPoint> places[] = {
        {"a pane that cannot receive", Inside(*frame->external, 100, 80)},
        {"the gap", Inside(*frame->desktop->GetParent(), 332, 150)},
        {"the source's own list: a source is not its own peer",
         Inside(*frame->desktop->list, 100, 150)},
    };
    for (const auto& [place, point] : places) {
        SCOPED_TRACE(place);
        gui::Script script;
        Seen over;
        PressAndMove(script, frame->desktop, point);
        Look(script, frame->desktop, over);
        script.Then([] { gui::MouseUp(); });
        RunScript(script);
        EXPECT_TRUE(over.dragging);
        EXPECT_FALSE(over.allowed) << "the cursor shows no entry";
        EXPECT_TRUE(NoEntry(over.shape)) << over.shape;
    }
    EXPECT_TRUE(frame->desktop->sentTo.empty());
    EXPECT_TRUE(frame->external->received.empty());
}

TEST_F(DragTest, AMessageBoxDuringTheDragCancelsIt) {
    // A device error reported while the user drags: the box takes the mouse.
    platform::InstallWxMessageBoxes();
    frame->desktop->list->SelectRow(0);
    gui::Script script;
    Seen seen;
    bool answered = false;
    bool draggingAfterBox = true;
    PressAndMove(script, frame->desktop, Inside(*frame->internal, 100, 80));
    Look(script, frame->desktop, seen);
    script.Then([&] {
        g_timeout_add(200, AnswerMessageBox, &answered);
        platform::MessageBox(frame, "The player does not answer.", "", platform::kMbOk);
    });
    script.Then([&] { draggingAfterBox = frame->desktop->IsDragging(); });
    script.Then([] { gui::MouseUp(); });
    RunScript(script);
    platform::SetMessageBoxHandler(nullptr);
    EXPECT_TRUE(seen.dragging);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(draggingAfterBox);
    EXPECT_TRUE(frame->desktop->sentTo.empty());
    EXPECT_TRUE(frame->internal->received.empty());
}

TEST_F(DragTest, AWindowClosingCancelsTheDrag) {
    auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(600, 600), wxSize(100, 80));
    other->Show();
    frame->desktop->list->SelectRow(0);
    gui::Script script;
    Seen seen;
    PressAndMove(script, frame->desktop, Inside(*frame->internal, 100, 80));
    Look(script, frame->desktop, seen);
    script.Then([other] { other->Close(); });
    script.Then([] {}).Then([] { gui::MouseUp(); });
    RunScript(script);
    EXPECT_TRUE(seen.dragging);
    EXPECT_TRUE(frame->desktop->sentTo.empty());
}

TEST_F(DragTest, ADragThatFindsTheMouseHeldElsewhereEndsAtOnce) {
    HFileListCtrl* list = frame->desktop->list;
    list->SelectRow(0);
    wxWindow* other = frame->internal;
    other->CaptureMouse();
    const wxRect row = list->GetRowRect(0);
    EXPECT_TRUE(frame->desktop->BeginDrag(row.GetPosition() + wxPoint(5, 5)));
    EXPECT_FALSE(frame->desktop->IsDragging());
    EXPECT_TRUE(frame->desktop->sentTo.empty());
    EXPECT_EQ(wxWindow::GetCapture(), other) << "the other window keeps the mouse";
    other->ReleaseMouse();
}
