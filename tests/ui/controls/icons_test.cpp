#include <set>
#include <string>

#include <gtest/gtest.h>
#include <wx/image.h>

#include "ui/controls/icons.h"
#include "base/resources/ids.h"

namespace {

// Counts opaque and fully transparent pixels of an image with alpha.
struct Coverage {
    int opaque = 0;
    int clear = 0;
};
Coverage Measure(const wxBitmap& bitmap) {
    wxImage image = bitmap.ConvertToImage();
    Coverage c;
    if (!image.HasAlpha()) return c;
    const unsigned char* alpha = image.GetAlpha();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i) {
        c.opaque += alpha[i] > 200;
        c.clear += alpha[i] == 0;
    }
    return c;
}

// The colour and alpha bytes of a bitmap, to tell pictures apart.
std::string Pixels(const wxBitmap& bitmap) {
    wxImage image = bitmap.ConvertToImage();
    const size_t count = static_cast<size_t>(image.GetWidth()) * image.GetHeight();
    std::string data(reinterpret_cast<const char*>(image.GetData()), count * 3);
    if (image.HasAlpha()) data.append(reinterpret_cast<const char*>(image.GetAlpha()), count);
    return data;
}

} // namespace

TEST(Icons, EveryIconIsDrawnAtTheSizeAskedWithATransparentBackground) {
    const int icons[] = {
        ids::kAppIcon, ids::kUpIcon, ids::kUploadIcon, ids::kDownloadIcon, 142, 145, 148, 151, 154};
    std::set<std::string> distinct;
    for (int id : icons) {
        for (int size : {16, 32, 48}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " size " << size);
            const wxBitmap bitmap = controls::LoadIcon(id, size);
            ASSERT_TRUE(bitmap.IsOk());
            EXPECT_EQ(bitmap.GetWidth(), size);
            EXPECT_EQ(bitmap.GetHeight(), size);
            const Coverage c = Measure(bitmap);
            EXPECT_GT(c.opaque, size * size / 10) << "the picture is nearly empty";
            EXPECT_GT(c.clear, 0) << "no transparent background";
        }
        distinct.insert(Pixels(controls::LoadIcon(id, 32)));
    }
    EXPECT_EQ(distinct.size(), std::size(icons)) << "two icons look the same";
    EXPECT_FALSE(controls::LoadIcon(999, 32).IsOk());
    EXPECT_FALSE(controls::LoadIcon(ids::kUpIcon, 0).IsOk());
}

TEST(Icons, TreeBitmapHoldsTenDistinctSmallImages) {
    auto list = controls::LoadImageList(ids::kTreeBitmap);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetImageCount(), controls::kTreeImageCount);
    std::set<std::string> distinct;
    for (int i = 0; i < list->GetImageCount(); ++i) {
        const wxBitmap image = list->GetBitmap(i);
        ASSERT_TRUE(image.IsOk());
        EXPECT_EQ(image.GetSize(), wxSize(16, 16));
        EXPECT_GT(Measure(image).opaque, 16) << "image " << i;
        distinct.insert(Pixels(image));
    }
    EXPECT_EQ(distinct.size(), 10u);
    EXPECT_FALSE(controls::LoadTreeImage(10).IsOk());
    EXPECT_FALSE(controls::LoadTreeImage(-1).IsOk());
    EXPECT_EQ(controls::LoadImageList(999), nullptr);

    auto single = controls::LoadImageList(ids::kPageIcons[0]);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->GetImageCount(), 1);
}

TEST(Icons, AtTwiceTheScaleTheUpIconAndTheFoldersAreDrawnAtTwiceThePixels) {
    // What a window at GDK_SCALE=2 takes: the picture drawn at 32 pixels,
    // not the 16-pixel one doubled.
    const auto check = [](const wxBitmapBundle& bundle, const wxBitmap& drawn32,
                          const wxBitmap& drawn16) {
        ASSERT_TRUE(bundle.IsOk());
        EXPECT_EQ(bundle.GetDefaultSize(), wxSize(16, 16));
        const wxSize wanted = bundle.GetPreferredBitmapSizeAtScale(2.0);
        EXPECT_EQ(wanted, wxSize(32, 32));
        const wxBitmap shown = bundle.GetBitmap(wanted);
        EXPECT_EQ(Pixels(shown), Pixels(drawn32));
        const wxBitmap doubled(drawn16.ConvertToImage().Scale(32, 32, wxIMAGE_QUALITY_NEAREST));
        EXPECT_NE(Pixels(shown), Pixels(doubled));
    };
    check(controls::IconBundle(ids::kUpIcon, 16), controls::LoadIcon(ids::kUpIcon, 32),
          controls::LoadIcon(ids::kUpIcon, 16));
    const auto trees = controls::TreeImageBundles();
    ASSERT_EQ(trees.size(), size_t(controls::kTreeImageCount));
    for (int i : {controls::tree_image::kFolder, controls::tree_image::kFolderOpen})
        check(trees[size_t(i)], controls::LoadTreeImage(i, 32), controls::LoadTreeImage(i, 16));
    EXPECT_FALSE(controls::IconBundle(999, 16).IsOk());
}
