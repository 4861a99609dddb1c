#pragma once
// The help book shown inside the program: the HTML help project
// (HtmlHelp/Songdock.hhp with its contents and index) in the toolkit's help
// window, with contents, index and search. Nothing outside is needed.
#include <string>
#include <vector>

class wxWindow;

namespace platform {

// Path of the help project, relative to a folder searched for help.
inline constexpr const char* kHelpBookPath = "HtmlHelp/Songdock.hhp";

// Shows the help window at page (a file of the book such as "panes.html"),
// or at the book's first page when page is empty. The book is looked for in
// every folder of `folders` in order. When none holds it, says so in a
// warning box owned by parent and returns false. The help window belongs to
// parent's top-level window: it closes when that window is hidden or goes,
// and help asked from another window replaces it. Asked from a modal
// dialog, it leaves the dialog usable.
bool ShowHelpBookFrom(wxWindow* parent, const std::vector<std::string>& folders,
                      const std::string& page);

// ShowHelpBookFrom with the current directory, then the program's data
// folder (the installed help).
bool ShowHelpBook(wxWindow* parent, const std::string& page = "");

// Closes the help window, if open (the main window, as it closes).
void CloseHelpBook();

// The help window while it is open, else null, and the file name of the
// page it shows ("" when none).
wxWindow* HelpBookWindow();
std::string HelpBookPage();

} // namespace platform
