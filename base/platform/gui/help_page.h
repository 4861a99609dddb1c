#pragma once
// The web page of the help window. The web engine and the hundred libraries
// it brings are loaded only when help is first shown, from a module of the
// kit's own (libsd_help_page.so beside the program or in the kit's library
// folder), so that a start of the program does not pay for them.
#include <functional>
#include <memory>
#include <string>

class wxWindow;

namespace platform {

class HelpPage {
public:
    virtual ~HelpPage() = default;

    // The page's window, a child of the parent it was made in (which owns it).
    virtual wxWindow* Window() = 0;
    virtual std::string Url() const = 0;
    virtual std::string Title() const = 0;
    virtual void Load(const std::string& url) = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Runs a script in the page without waiting for, or taking, a reply.
    virtual void RunScript(const std::string& script) = 0;
};

struct HelpPageEvents {
    // Before the page goes to url; false keeps it where it is.
    std::function<bool(const std::string& url)> navigating;
    // Once a page has loaded.
    std::function<void()> loaded;
};

// A page in parent, or null with why set when the module or the web engine
// is missing.
std::unique_ptr<HelpPage> NewHelpPage(wxWindow* parent, HelpPageEvents events, std::string& why);

} // namespace platform
