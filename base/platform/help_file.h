#pragma once
// The help file, opened with the desktop's viewer for it.

#include <string>
#include <vector>

namespace platform {

// Path of the help file, relative to a folder searched for help.
inline constexpr const char* kHelpFilePath = "HtmlHelp/Songdock.chm";
// The same help as web pages: the first page, relative to the same folders.
inline constexpr const char* kHelpPagesPath = "HtmlHelp/index.html";
// Programs that show compiled help files, tried in this order.
inline constexpr const char* kHelpViewers[] = {"xchm", "kchmviewer"};

// Opens the help: the compiled help file in the first viewer of
// kHelpViewers that is installed, else the web pages in the default
// browser, else the compiled file with the desktop's default application.
// Each is looked for in every folder of `folders` in order. When nothing is
// found, or nothing can show it, says so in a warning box owned by owner.
// Returns whether a viewer was started.
bool OpenHelpFileFrom(void* owner, const std::vector<std::string>& folders);

// OpenHelpFileFrom with the current directory, then the program's data
// folder (the installed help).
bool OpenHelpFile(void* owner);

} // namespace platform
