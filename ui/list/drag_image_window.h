#pragma once
// HDragImage: shows a drag image over the whole screen while a drag runs. The
// image lives in a borderless popup window shaped like its opaque part, which
// follows the cursor; drawing on the screen itself would stay hidden behind
// the windows on desktops that paint each window separately.
#include <memory>

#include <wx/bitmap.h>
#include <wx/gdicmn.h>

class wxWindow;

class HDragImage {
public:
    // image: the picture, with a mask for its transparent parts.
    explicit HDragImage(const wxBitmap& image);
    ~HDragImage();
    HDragImage(const HDragImage&) = delete;
    HDragImage& operator=(const HDragImage&) = delete;

    // Prepares the image for a drag from window (whose top-level window owns
    // the popup); hotspot is the cursor's place inside the image.
    bool BeginDrag(const wxPoint& hotspot, wxWindow* window);
    // Puts the hot spot at a screen point.
    void Move(const wxPoint& screen);
    void Show();
    void Hide();
    // Takes the image off the screen.
    void EndDrag();

    // The window that shows the image (null before BeginDrag or after
    // EndDrag), and where it is on the screen.
    wxWindow* GetImageWindow() const;
    wxRect GetScreenRect() const;

private:
    class Window;

    wxBitmap image_;
    wxPoint hotspot_;
    Window* window_ = nullptr;
};

// The deepest shown window under a screen point, leaving out skip and its
// children; null when none of the application's windows is there.
wxWindow* WindowAtPoint(const wxPoint& screen, const wxWindow* skip);
