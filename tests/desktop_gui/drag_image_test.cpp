#include <gtest/gtest.h>
#include <wx/image.h>

#include "desktop/gui/drag_image.h"
#include "tests/desktop_gui/list_fixture.h"
#include "tests/support/gui_harness/gui_harness.h"

namespace {

class DragImageTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new ListFrame;
        gui::ShowAndWait(frame);
    }
    void TearDown() override {
        frame->Destroy();
        gui::Pump(20);
    }
    wxRect Bounds(long row) const {
        wxRect r;
        frame->list->GetItemRect(row, r, wxLIST_RECT_BOUNDS);
        return r;
    }
    ListFrame* frame = nullptr;
};

} // namespace

TEST_F(DragImageTest, NoSelectionGivesNoImage) {
    wxPoint origin(-7, -7);
    EXPECT_FALSE(BuildDragImage(*frame->list, &origin).IsOk());
    EXPECT_EQ(origin, wxPoint(-7, -7));
}

TEST_F(DragImageTest, OneRowGivesAnImageOfThatRow) {
    frame->list->SelectRow(2);
    wxPoint origin;
    const wxBitmap image = BuildDragImage(*frame->list, &origin);
    ASSERT_TRUE(image.IsOk());
    EXPECT_EQ(image.GetSize(), Bounds(2).GetSize());
    EXPECT_EQ(origin, Bounds(2).GetTopLeft());
    EXPECT_NE(image.GetMask(), nullptr);
}

TEST_F(DragImageTest, SeveralRowsShareOneImageEachAtItsPlace) {
    frame->list->SelectRow(1);
    frame->list->SelectRow(4);
    wxPoint origin;
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
