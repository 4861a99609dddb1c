// The help as Windows programs give it: the compiled help (HtmlHelp/
// Songdock.chm, HtmlHelp/ko/Songdock.chm for Korean) in the system's HTML
// Help viewer. hhctrl.ocx is loaded when help is first asked for, so that a
// system without it still runs the program.
#include "base/platform/gui/help_book.h"

#include "base/platform/help_language.h"
#include "base/platform/install_layout.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/platform/wide_text.h"
#include "base/resources/strings.h"

#include <wx/msw/wrapwin.h>
#undef MessageBox // windows.h's name for MessageBoxW hides the kit's own

#include <wx/toplevel.h>
#include <wx/window.h>

namespace platform {

namespace {

// The viewer's commands (htmlhelp.h).
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kCloseAll = 0x0012;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpFunction HtmlHelp() {
    static const HtmlHelpFunction function = [] {
        HMODULE module = LoadLibraryW(L"hhctrl.ocx");
        return module ? reinterpret_cast<HtmlHelpFunction>(
                            reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")))
                      : nullptr;
    }();
    return function;
}

std::string g_page;
bool g_open = false;

} // namespace

bool ShowHelpBookFrom(wxWindow* parent, const std::vector<std::string>& folders,
                      const std::string& page) {
    std::string book;
    std::string tried;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = LocalizedHelpFile(folder + "/HtmlHelp", HelpLanguage(), "Songdock.chm");
        if (PathExists(path)) {
            book = path;
            break;
        }
        tried += "\n" + path;
    }
    if (book.empty()) {
        MessageBox(parent, strings::Tr("The help file cannot be found:") + tried, "",
                   kMbOk | kMbIconWarning);
        return false;
    }
    const HtmlHelpFunction show = HtmlHelp();
    if (!show) {
        MessageBox(parent, strings::Tr("The help file cannot be found:") + std::string("\nhhctrl.ocx"),
                   "", kMbOk | kMbIconWarning);
        return false;
    }
    wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
    const std::string topic = book + "::/" + (page.empty() ? "index.html" : page);
    show(top ? static_cast<HWND>(top->GetHWND()) : nullptr, WideText(topic).c_str(),
         kDisplayTopic, 0);
    g_page = page;
    g_open = true;
    return true;
}

bool ShowHelpBook(wxWindow* parent, const std::string& page) {
    return ShowHelpBookFrom(parent, {ExecutableDirectory(), DataDirectory(), CurrentDirectory()},
                            page);
}

void CloseHelpBook() {
    if (g_open)
        if (const HtmlHelpFunction show = HtmlHelp()) show(nullptr, nullptr, kCloseAll, 0);
    g_open = false;
    g_page.clear();
}

// The viewer is a window of the system's, not of the toolkit's.
wxWindow* HelpBookWindow() {
    return nullptr;
}

std::string HelpBookPage() {
    return g_open ? g_page : "";
}

} // namespace platform
