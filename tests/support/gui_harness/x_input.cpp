// Input and looks through the X server's extensions, apart from the toolkit's
// headers: the X headers define words (KeyPress, Status) that those use.
#include <cstdlib>
#include <string>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

namespace gui {

namespace {

// The test program's own connection to the display the windows are on.
Display* XDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

} // namespace

void MouseWheel(int notches) {
    Display* display = XDisplay();
    if (!display) return;
    const unsigned button = notches > 0 ? 5 : 4;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
    XFlush(display);
}

std::string ShownCursorName() {
    Display* display = XDisplay();
    if (!display) return {};
    XSync(display, False);
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) return {};
    std::string name = image->name ? image->name : "";
    XFree(image);
    return name;
}

} // namespace gui
