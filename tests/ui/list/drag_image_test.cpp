#include <gtest/gtest.h>
#include <wx/image.h>

#include "ui/list/drag_image.h"
#include "ui/list/drag_image_window.h"
#include "tests/ui/list/list_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"

namespace {

class DragImageTest : public ListFrameTest {
protected:
    wxRect Bounds(long row) const {
        return frame->list->GetRowRect(row);
    }
};

} // namespace

TEST_F(DragImageTest, SelectedRowsShareOneImageEachAtItsPlace) {
    // No selection: no image, and the origin is left alone.
    wxPoint origin(-7, -7);
    EXPECT_FALSE(BuildDragImage(*frame->list, &origin).IsOk());
    EXPECT_EQ(origin, wxPoint(-7, -7));

    frame->list->SelectRow(1);
    frame->list->SelectRow(4);
    const wxBitmap bitmap = BuildDragImage(*frame->list, &origin);
    ASSERT_TRUE(bitmap.IsOk());
    const wxRect all = Bounds(1).Union(Bounds(4));
    EXPECT_EQ(bitmap.GetSize(), all.GetSize());
    EXPECT_EQ(origin, all.GetTopLeft());

    // Rows 1 and 4 are drawn where they are; rows 2 and 3 between them are
    // transparent.
    const wxImage image = bitmap.ConvertToImage();
    ASSERT_TRUE(image.HasMask());
    auto opaqueInRow = [&](long row) {
        const wxRect r = Bounds(row);
        int opaque = 0;
        for (int y = r.y - all.y; y < r.GetBottom() - all.y; ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                opaque += !image.IsTransparent(x, y);
        return opaque;
    };
    EXPECT_GT(opaqueInRow(1), 50);
    EXPECT_GT(opaqueInRow(4), 50);
    EXPECT_EQ(opaqueInRow(2), 0);
    EXPECT_EQ(opaqueInRow(3), 0);
}

TEST(DragImageOfManyRows, TheImageKeepsToWhatTheListShows) {
    auto* frame = new ListFrame(400);
    gui::ShowAndWait(frame);
    for (long row = 0; row < 400; ++row)
        frame->list->SelectRow(row);
    wxPoint origin;
    const wxBitmap image = BuildDragImage(*frame->list, &origin);
    ASSERT_TRUE(image.IsOk());
    const wxRect client = frame->list->GetClientRect();
    EXPECT_TRUE(client.Contains(wxRect(origin, image.GetSize())))
        << image.GetWidth() << " x " << image.GetHeight();
    const wxRect first = frame->list->GetRowRect(0);
    EXPECT_EQ(origin, first.GetTopLeft());
    frame->Destroy();
    gui::Pump(20);
}

TEST(WindowAtPointTest, FindsTheDeepestShownWindowInsideItsParents) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "hit", wxPoint(40, 40), wxSize(300, 200));
    auto* client = new wxPanel(frame);
    auto* pane = new wxPanel(client, wxID_ANY, wxPoint(10, 10), wxSize(100, 100));
    // A child that reaches beyond its parent shows only inside it.
    auto* wide = new wxPanel(pane, wxID_ANY, wxPoint(50, 0), wxSize(150, 50));
    gui::ShowAndWait(frame);
    EXPECT_EQ(WindowAtPoint(pane->ClientToScreen(wxPoint(60, 10)), nullptr), wide);
    EXPECT_EQ(WindowAtPoint(pane->ClientToScreen(wxPoint(20, 80)), nullptr), pane);
    EXPECT_EQ(WindowAtPoint(pane->ClientToScreen(wxPoint(140, 10)), nullptr), client);
    EXPECT_EQ(WindowAtPoint(pane->ClientToScreen(wxPoint(60, 10)), pane), client);
    frame->Destroy();
    gui::Pump(20);
}
