// Every image is drawn on a 32 x 32 grid and scaled to the size asked for,
// with anti-aliasing, onto a transparent image.
#include "ui/controls/icons.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include "base/resources/ids.h"

namespace controls {
namespace {

using Painter = std::function<void(wxGraphicsContext&)>;

// Colours of the palette.
const wxColour kOutline(60, 60, 60);
const wxColour kFolderFill(240, 196, 88);
const wxColour kFolderDark(176, 128, 32);
const wxColour kFolderFront(252, 216, 120);
const wxColour kBlue(46, 123, 214);
const wxColour kBlueDark(24, 72, 150);
const wxColour kGreen(46, 158, 72);
const wxColour kGreenDark(24, 100, 40);
const wxColour kGrey(200, 204, 212);
const wxColour kGreyDark(110, 116, 126);
const wxColour kWhite(255, 255, 255);

void Pen(wxGraphicsContext& gc, const wxColour& c, double width = 1.5) {
    gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(c).Width(width)));
}
void NoPen(wxGraphicsContext& gc) {
    gc.SetPen(wxNullGraphicsPen);
}
void Fill(wxGraphicsContext& gc, const wxColour& c) {
    gc.SetBrush(wxBrush(c));
}
void NoFill(wxGraphicsContext& gc) {
    gc.SetBrush(wxNullGraphicsBrush);
}

// A closed polygon through the given points.
void Polygon(wxGraphicsContext& gc, std::initializer_list<wxPoint2DDouble> points) {
    wxGraphicsPath path = gc.CreatePath();
    bool first = true;
    for (const auto& p : points) {
        if (first)
            path.MoveToPoint(p);
        else
            path.AddLineToPoint(p);
        first = false;
    }
    path.CloseSubpath();
    gc.DrawPath(path);
}

void Line(wxGraphicsContext& gc, double x1, double y1, double x2, double y2) {
    gc.StrokeLine(x1, y1, x2, y2);
}

// ---- Tree images ----------------------------------------------------------

void DrawFolderBack(wxGraphicsContext& gc) {
    Pen(gc, kFolderDark);
    Fill(gc, kFolderFill);
    Polygon(gc, {{3, 8}, {12, 8}, {15, 11}, {29, 11}, {29, 27}, {3, 27}});
}

void DrawFolder(wxGraphicsContext& gc) {
    DrawFolderBack(gc);
    Pen(gc, kFolderDark, 1);
    Line(gc, 3.5, 14, 28.5, 14);
}

void DrawFolderOpen(wxGraphicsContext& gc) {
    DrawFolderBack(gc);
    Pen(gc, kFolderDark);
    Fill(gc, kFolderFront);
    Polygon(gc, {{8, 15}, {31, 15}, {26, 27}, {3, 27}});
}

void DrawNetwork(wxGraphicsContext& gc) {
    Pen(gc, kBlueDark, 2);
    Fill(gc, kBlue);
    gc.DrawEllipse(3, 3, 26, 26);
    Pen(gc, kWhite, 1.5);
    NoFill(gc);
    gc.DrawEllipse(10, 3.5, 12, 25);
    Line(gc, 16, 3.5, 16, 28.5);
    Line(gc, 3.5, 16, 28.5, 16);
    Line(gc, 6, 9.5, 26, 9.5);
    Line(gc, 6, 22.5, 26, 22.5);
}

void DrawMonitor(wxGraphicsContext& gc, double top, double bottom) {
    Pen(gc, kOutline);
    Fill(gc, kGreyDark);
    gc.DrawRoundedRectangle(3, top, 26, bottom - top, 2);
    NoPen(gc);
    Fill(gc, kBlue);
    gc.DrawRectangle(6, top + 3, 20, bottom - top - 6);
    Pen(gc, kOutline);
    Fill(gc, kGrey);
    gc.DrawRectangle(13, bottom, 6, 3);
    gc.DrawRoundedRectangle(8, bottom + 3, 16, 3, 1);
}

void DrawDesktop(wxGraphicsContext& gc) {
    DrawMonitor(gc, 4, 22);
    // A few icons on the screen.
    NoPen(gc);
    Fill(gc, kWhite);
    gc.DrawRectangle(8, 9, 4, 4);
    gc.DrawRectangle(8, 15, 4, 4);
    Fill(gc, kFolderFront);
    gc.DrawRectangle(14, 9, 4, 4);
}

void DrawComputer(wxGraphicsContext& gc) {
    Pen(gc, kOutline);
    Fill(gc, kGrey);
    gc.DrawRoundedRectangle(9, 2, 15, 28, 2);
    Pen(gc, kGreyDark, 1.5);
    Line(gc, 12, 7, 21, 7);
    Line(gc, 12, 11, 21, 11);
    Line(gc, 12, 15, 21, 15);
    NoPen(gc);
    Fill(gc, kGreen);
    gc.DrawEllipse(14.5, 22, 4, 4);
}

void DrawRemovable(wxGraphicsContext& gc) {
    // A memory stick: body, connector and a light.
    Pen(gc, kOutline);
    Fill(gc, kGrey);
    gc.DrawRectangle(11, 2, 10, 8);
    NoPen(gc);
    Fill(gc, kOutline);
    gc.DrawRectangle(13, 4, 2, 2);
    gc.DrawRectangle(17, 4, 2, 2);
    Pen(gc, kBlueDark);
    Fill(gc, kBlue);
    gc.DrawRoundedRectangle(8, 10, 16, 20, 3);
    NoPen(gc);
    Fill(gc, kWhite);
    gc.DrawRectangle(11, 17, 10, 7);
}

void DrawDrive(wxGraphicsContext& gc) {
    Pen(gc, kOutline);
    Fill(gc, kGrey);
    gc.DrawRoundedRectangle(2, 10, 28, 13, 2);
    Pen(gc, kGreyDark, 1);
    Line(gc, 4, 18, 20, 18);
    NoPen(gc);
    Fill(gc, kGreen);
    gc.DrawEllipse(23, 16, 4, 4);
}

void DrawCdRom(wxGraphicsContext& gc) {
    Pen(gc, kGreyDark);
    Fill(gc, kGrey);
    gc.DrawEllipse(2, 2, 28, 28);
    NoFill(gc);
    Pen(gc, wxColour(120, 170, 230), 2);
    gc.DrawEllipse(7, 7, 18, 18);
    Pen(gc, wxColour(230, 170, 200), 2);
    gc.DrawEllipse(10, 10, 12, 12);
    Pen(gc, kGreyDark, 1.5);
    Fill(gc, kWhite);
    gc.DrawEllipse(13, 13, 6, 6);
}

void DrawControls(wxGraphicsContext& gc) {
    Pen(gc, kOutline);
    Fill(gc, kWhite);
    gc.DrawRoundedRectangle(3, 4, 26, 24, 2);
    const double ys[] = {10, 16, 22};
    const double knobs[] = {10, 20, 14};
    for (int i = 0; i < 3; ++i) {
        Pen(gc, kGreyDark, 1.5);
        Line(gc, 7, ys[i], 25, ys[i]);
        Pen(gc, kBlueDark, 1);
        Fill(gc, kBlue);
        gc.DrawRectangle(knobs[i] - 2, ys[i] - 3, 4, 6);
    }
}

void DrawDocuments(wxGraphicsContext& gc) {
    DrawFolderBack(gc);
    Pen(gc, kGreyDark, 1);
    Fill(gc, kWhite);
    gc.DrawRectangle(8, 4, 15, 17);
    Pen(gc, kBlue, 1);
    for (double y = 8; y < 18; y += 3)
        Line(gc, 10, y, 21, y);
    Pen(gc, kFolderDark);
    Fill(gc, kFolderFront);
    Polygon(gc, {{3, 16}, {29, 16}, {29, 27}, {3, 27}});
}

// ---- Icons ----------------------------------------------------------------

void DrawApp(wxGraphicsContext& gc) {
    Pen(gc, wxColour(30, 36, 48), 1.5);
    Fill(gc, wxColour(56, 70, 92));
    gc.DrawRoundedRectangle(6, 1.5, 20, 29, 4);
    NoPen(gc);
    Fill(gc, wxColour(150, 220, 240));
    gc.DrawRectangle(9, 4.5, 14, 10);
    // A note on the screen.
    Fill(gc, wxColour(30, 60, 90));
    gc.DrawEllipse(12, 10, 4, 3);
    Pen(gc, wxColour(30, 60, 90), 1.2);
    Line(gc, 15.5, 11.5, 15.5, 6.5);
    Line(gc, 15.5, 6.5, 19, 7.5);
    // The wheel.
    Pen(gc, wxColour(30, 36, 48), 1);
    Fill(gc, kGrey);
    gc.DrawEllipse(10, 17, 12, 12);
    Fill(gc, wxColour(56, 70, 92));
    gc.DrawEllipse(14, 21, 4, 4);
}

// A thick arrow pointing right (dir 1) or left (dir -1), centred at y = 16.
void DrawHorizontalArrow(wxGraphicsContext& gc, int dir, const wxColour& fill,
                         const wxColour& edge) {
    Pen(gc, edge, 1.5);
    Fill(gc, fill);
    auto x = [dir](double v) { return dir > 0 ? v : 32 - v; };
    Polygon(
        gc,
        {{x(3), 11}, {x(17), 11}, {x(17), 4}, {x(29), 16}, {x(17), 28}, {x(17), 21}, {x(3), 21}});
}

void DrawUp(wxGraphicsContext& gc) {
    DrawFolder(gc);
    Pen(gc, kGreenDark, 1.5);
    Fill(gc, kGreen);
    Polygon(gc, {{19, 2}, {28, 11}, {23, 11}, {23, 22}, {15, 22}, {15, 11}, {10, 11}});
}

void DrawClock(wxGraphicsContext& gc) {
    Pen(gc, kOutline, 2);
    Fill(gc, kWhite);
    gc.DrawEllipse(3, 3, 26, 26);
    Pen(gc, kGreyDark, 1.5);
    for (int i = 0; i < 12; i += 3) {
        const double a = i * std::numbers::pi / 6;
        Line(gc, 16 + 9.5 * std::sin(a), 16 - 9.5 * std::cos(a), 16 + 11.5 * std::sin(a),
             16 - 11.5 * std::cos(a));
    }
    Pen(gc, kOutline, 2);
    Line(gc, 16, 16, 16, 8);
    Pen(gc, wxColour(200, 40, 40), 2);
    Line(gc, 16, 16, 22, 19);
}

void DrawChip(wxGraphicsContext& gc) {
    Pen(gc, kGreyDark, 1.5);
    for (double y = 9; y <= 24; y += 5) {
        Line(gc, 3, y, 8, y);
        Line(gc, 24, y, 29, y);
    }
    Pen(gc, wxColour(20, 20, 20), 1);
    Fill(gc, wxColour(50, 50, 56));
    gc.DrawRoundedRectangle(8, 5, 16, 23, 2);
    NoPen(gc);
    Fill(gc, kGreyDark);
    gc.DrawEllipse(10.5, 7.5, 3, 3);
}

void DrawWave(wxGraphicsContext& gc) {
    Pen(gc, kGreyDark, 1);
    Fill(gc, kWhite);
    gc.DrawRoundedRectangle(2, 5, 28, 22, 2);
    Pen(gc, kBlue, 2);
    wxGraphicsPath path = gc.CreatePath();
    for (int i = 0; i <= 48; ++i) {
        const double x = 4 + i * 0.5;
        const double envelope = std::sin(i * std::numbers::pi / 48);
        const double y = 16 - 8 * envelope * std::sin(i * std::numbers::pi / 6);
        if (i == 0)
            path.MoveToPoint(x, y);
        else
            path.AddLineToPoint(x, y);
    }
    NoFill(gc);
    gc.StrokePath(path);
}

void DrawMicrophone(wxGraphicsContext& gc) {
    Pen(gc, kOutline, 1.5);
    Fill(gc, kGrey);
    gc.DrawRoundedRectangle(11, 2, 10, 17, 5);
    Pen(gc, kGreyDark, 1);
    Line(gc, 12, 8, 20, 8);
    Line(gc, 12, 12, 20, 12);
    NoFill(gc);
    Pen(gc, kOutline, 2);
    wxGraphicsPath holder = gc.CreatePath();
    holder.AddArc(16, 13, 9, 0, std::numbers::pi, true);
    gc.StrokePath(holder);
    Line(gc, 16, 22, 16, 27);
    Line(gc, 10, 28, 22, 28);
}

void DrawRawData(wxGraphicsContext& gc) {
    Pen(gc, kOutline, 1);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            Fill(gc, (row + col) % 2 ? kBlue : wxColour(150, 190, 240));
            gc.DrawRectangle(3 + col * 6.75, 3 + row * 6.75, 5.5, 5.5);
        }
    }
}

Painter TreePainter(int index) {
    switch (index) {
    case tree_image::kFolder:
        return DrawFolder;
    case tree_image::kFolderOpen:
        return DrawFolderOpen;
    case tree_image::kNetwork:
        return DrawNetwork;
    case tree_image::kDesktop:
        return DrawDesktop;
    case tree_image::kComputer:
        return DrawComputer;
    case tree_image::kRemovable:
        return DrawRemovable;
    case tree_image::kDrive:
        return DrawDrive;
    case tree_image::kCdRom:
        return DrawCdRom;
    case tree_image::kControls:
        return DrawControls;
    case tree_image::kDocuments:
        return DrawDocuments;
    default:
        return nullptr;
    }
}

Painter IconPainter(int id) {
    switch (id) {
    case ids::kAppIcon:
        return DrawApp;
    case ids::kUpIcon:
        return DrawUp;
    case ids::kUploadIcon:
        return [](wxGraphicsContext& gc) { DrawHorizontalArrow(gc, -1, kBlue, kBlueDark); };
    case ids::kDownloadIcon:
        return [](wxGraphicsContext& gc) { DrawHorizontalArrow(gc, 1, kGreen, kGreenDark); };
    case 142:
        return DrawClock;
    case 145:
        return DrawChip;
    case 148:
        return DrawWave;
    case 154:
        return DrawMicrophone;
    case 151:
        return DrawRawData;
    default:
        return nullptr;
    }
}

wxBitmap Render(const Painter& paint, int size) {
    if (!paint || size < 1) return wxNullBitmap;
    wxImage image(size, size);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), size * size, 0);
    {
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (!gc) return wxNullBitmap;
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        gc->Scale(size / 32.0, size / 32.0);
        paint(*gc);
    } // the context writes back into the image when it goes away
    return wxBitmap(image);
}

// An image drawn at whatever pixel size a window's scale asks for, each
// size drawn once.
class SizedBundle : public wxBitmapBundleImpl {
public:
    SizedBundle(std::function<wxBitmap(int)> draw, int size)
        : draw_(std::move(draw)), size_(size) {}
    wxSize GetDefaultSize() const override { return wxSize(size_, size_); }
    wxSize GetPreferredBitmapSizeAtScale(double scale) const override {
        const int side = static_cast<int>(std::lround(size_ * scale));
        return wxSize(side, side);
    }
    wxBitmap GetBitmap(const wxSize& size) override {
        const int side = std::max(size.x, size.y);
        wxBitmap& bitmap = drawn_[side];
        if (!bitmap.IsOk()) bitmap = draw_(side);
        return bitmap;
    }

private:
    std::function<wxBitmap(int)> draw_;
    int size_;
    std::map<int, wxBitmap> drawn_;
};

wxBitmapBundle Bundle(Painter paint, int size) {
    if (!paint) return wxBitmapBundle();
    return DrawnBundle([paint = std::move(paint)](int side) { return Render(paint, side); }, size);
}

} // namespace

wxBitmapBundle DrawnBundle(std::function<wxBitmap(int)> draw, int size) {
    if (!draw || size < 1) return wxBitmapBundle();
    return wxBitmapBundle::FromImpl(new SizedBundle(std::move(draw), size));
}

wxBitmapBundle IconBundle(int id, int size) {
    return Bundle(IconPainter(id), size);
}

wxBitmapBundle TreeImageBundle(int index, int size) {
    return Bundle(TreePainter(index), size);
}

wxVector<wxBitmapBundle> TreeImageBundles() {
    wxVector<wxBitmapBundle> images;
    for (int i = 0; i < kTreeImageCount; ++i)
        images.push_back(TreeImageBundle(i));
    return images;
}

wxBitmap LoadIcon(int id, int size) {
    return Render(IconPainter(id), size);
}

wxBitmap LoadTreeImage(int index, int size) {
    return Render(TreePainter(index), size);
}

std::unique_ptr<wxImageList> LoadImageList(int id) {
    if (id == ids::kTreeBitmap) {
        auto list = std::make_unique<wxImageList>(16, 16, false, kTreeImageCount);
        for (int i = 0; i < kTreeImageCount; ++i)
            list->Add(LoadTreeImage(i, 16));
        return list;
    }
    wxBitmap icon = LoadIcon(id, 16);
    if (!icon.IsOk()) return nullptr;
    auto list = std::make_unique<wxImageList>(16, 16, false, 1);
    list->Add(icon);
    return list;
}

} // namespace controls
