#include "ui/list/drag_image_window.h"

#include <wx/dcclient.h>
#include <wx/popupwin.h>
#include <wx/region.h>
#include <wx/toplevel.h>

class HDragImage::Window : public wxPopupWindow {
public:
    Window(wxWindow* parent, const wxBitmap& image)
        : wxPopupWindow(parent, wxBORDER_NONE | wxFRAME_SHAPED), image_(image) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetSize(image.GetSize());
        if (image.GetMask()) SetShape(wxRegion(image));
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(this);
            dc.DrawBitmap(image_, 0, 0, true);
        });
    }

private:
    wxBitmap image_;
};

HDragImage::HDragImage(const wxBitmap& image) : image_(image) {}

HDragImage::~HDragImage() {
    EndDrag();
}

bool HDragImage::BeginDrag(const wxPoint& hotspot, wxWindow* window) {
    if (!window || !image_.IsOk()) return false;
    EndDrag();
    hotspot_ = hotspot;
    window_ = new Window(wxGetTopLevelParent(window), image_);
    return true;
}

void HDragImage::Move(const wxPoint& screen) {
    if (window_) window_->Move(screen - hotspot_);
}

void HDragImage::Show() {
    if (window_ && !window_->IsShown()) {
        window_->Show();
        window_->Update();
    }
}

void HDragImage::Hide() {
    if (window_) window_->Hide();
}

void HDragImage::EndDrag() {
    if (window_) {
        window_->Hide();
        window_->Destroy();
        window_ = nullptr;
    }
}

wxWindow* HDragImage::GetImageWindow() const {
    return window_;
}

wxRect HDragImage::GetScreenRect() const {
    return window_ ? window_->GetScreenRect() : wxRect();
}

namespace {

// A child shows only inside its parent, so the search descends only into
// windows that contain the point.
wxWindow* FindIn(wxWindow* win, const wxPoint& screen, const wxWindow* skip) {
    if (win == skip || !win->IsShown() || !win->GetScreenRect().Contains(screen)) return nullptr;
    const wxWindowList& children = win->GetChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (!(*it)->IsTopLevel())
            if (wxWindow* found = FindIn(*it, screen, skip)) return found;
    return win;
}

} // namespace

wxWindow* WindowAtPoint(const wxPoint& screen, const wxWindow* skip) {
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it)
        if (wxWindow* found = FindIn(*it, screen, skip)) return found;
    return nullptr;
}
