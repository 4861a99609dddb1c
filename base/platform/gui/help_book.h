#pragma once
// The help book shown inside the program: the help pages in a web view that
// a screen reader reads like any web page (say-all, arrows, links by Tab),
// beside native lists for the contents, the index and search. The contents
// and index come from the help project's toc.hhc and index.hhk.
#include <string>
#include <vector>

class wxWindow;

namespace platform {

// Path of the help project, relative to a folder searched for help.
inline constexpr const char* kHelpBookPath = "HtmlHelp/Songdock.hhp";

// Shows the help window at page (a file of the book such as "panes.html",
// with an anchor if any), or at the book's first page when page is empty.
// The page is taken in the language of HelpLanguage() where the book has it.
// The book is looked for in every folder of `folders` in order. When none
// holds it, says so in a warning box owned by parent and returns false. The
// help window belongs to parent's top-level window: it closes when that
// window is hidden or goes, and help asked from another window replaces it.
// Asked from a modal dialog, it leaves the dialog usable, and Escape or
// closing the help ends the help only.
bool ShowHelpBookFrom(wxWindow* parent, const std::vector<std::string>& folders,
                      const std::string& page);

// ShowHelpBookFrom with the current directory, then the program's data
// folder (the installed help).
bool ShowHelpBook(wxWindow* parent, const std::string& page = "");

// Closes the help window, if open (the main window, as it closes).
void CloseHelpBook();

// The help window while it is open, else null, and the page it shows: its
// file name with its anchor ("panes.html#properties"), "" when none.
wxWindow* HelpBookWindow();
std::string HelpBookPage();

} // namespace platform
