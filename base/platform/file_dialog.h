#pragma once
// Open and save file dialogs behind a replaceable handler: the window layer
// installs one that shows real dialogs, tests install one that answers from
// a script, and without any every dialog counts as cancelled.
#include <functional>
#include <optional>
#include <string>

namespace platform {

// Options of a file dialog.
enum FileDialogOption : unsigned {
    kFileMustExist = 0x1,   // only existing files can be chosen (open dialogs)
    kOverwritePrompt = 0x2, // ask before choosing an existing file (save dialogs)
    // The first filter lists the files the user may run (execute permission),
    // whatever their names; its description stays as given.
    kExecutableFilter = 0x4,
};

// What a file dialog shows.
struct FileDialogRequest {
    bool save = false;       // a save dialog, else an open dialog
    void* owner = nullptr;   // the opaque owner window or nullptr
    std::string title;       // "" gives the toolkit's own title
    std::string filter;      // "Text(*.txt)\n*.txt\nAll Files(*.*)\n*.*\n\n"
    std::string initialPath; // file name, optionally with its folder
    unsigned options = 0;    // FileDialogOption bits
};

// Answers a request with the chosen path, or nothing when cancelled.
using FileDialogHandler = std::function<std::optional<std::string>(const FileDialogRequest&)>;

// Installs a handler; an empty one restores the default. Returns the old one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
// Shows an open-file dialog; the chosen path, or nothing when cancelled.
std::optional<std::string> ShowOpenFileDialog(void* owner, const std::string& title,
                                              const std::string& filter,
                                              const std::string& initialPath,
                                              unsigned options = kFileMustExist);
// Shows a save-file dialog; the chosen path, or nothing when cancelled.
std::optional<std::string> ShowSaveFileDialog(void* owner, const std::string& title,
                                              const std::string& filter,
                                              const std::string& initialPath, unsigned options = 0);

// Turns a filter of description and pattern lines separated by line feeds
// (ended by an empty line) into a toolkit wildcard "desc|patterns|...".
// "*.*" becomes "*" (every file, with or without an extension), and each
// pattern with letters also matches its names in any letter case.
std::string FilterToWildcard(const std::string& filter);

} // namespace platform
