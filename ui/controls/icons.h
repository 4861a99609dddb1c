#pragma once
// Songdock's images, drawn in code so that they look the same on every
// desktop and need no files at run time.
#include <functional>
#include <memory>

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/imaglist.h>
#include <wx/vector.h>

namespace controls {

// Number of images in the tree bitmap (ids::kTreeBitmap, 130).
inline constexpr int kTreeImageCount = 10;

// Indices of the tree bitmap's 16 x 16 images.
namespace tree_image {
inline constexpr int kFolder = 0;     // a closed folder; also a network share
inline constexpr int kFolderOpen = 1; // an open folder
inline constexpr int kNetwork = 2;    // the network, a domain
inline constexpr int kDesktop = 3;    // the desktop
inline constexpr int kComputer = 4;   // the computer, a server
inline constexpr int kRemovable = 5;  // a removable drive
inline constexpr int kDrive = 6;      // any other drive
inline constexpr int kCdRom = 7;      // an optical drive
inline constexpr int kControls = 8;   // the control panel
inline constexpr int kDocuments = 9;  // the documents folder
} // namespace tree_image

// The icon with the given resource id (the application icon 128, Up 131,
// upload 132, download 133, the configuration page icons 142, 145, 148, 151,
// 154) as a size x size bitmap with alpha; an invalid bitmap for any other
// id or a size below 1.
wxBitmap LoadIcon(int id, int size);

// One image of the tree bitmap at size x size; invalid outside 0-9.
wxBitmap LoadTreeImage(int index, int size = 16);

// The same images for a window of any scale (GDK_SCALE=2 and the like):
// size is the image's size in the window's own units, and each scale gets
// the image drawn anew at its pixel size rather than a smaller one enlarged.
// Invalid for an unknown id or index.
wxBitmapBundle IconBundle(int id, int size);
wxBitmapBundle TreeImageBundle(int index, int size = 16);
// The ten tree images in index order, for a control's SetImages.
wxVector<wxBitmapBundle> TreeImageBundles();
// An image of size x size window units whose pixels draw(side) gives at each
// scale, each side asked for once; invalid without draw or for a size below 1.
wxBitmapBundle DrawnBundle(std::function<wxBitmap(int side)> draw, int size);

// An image list built from a bitmap resource: for 130 the ten 16 x 16 tree
// images in index order; for an icon id a one-image 16 x 16 list of that
// icon. Null for an unknown id.
std::unique_ptr<wxImageList> LoadImageList(int id);

} // namespace controls
