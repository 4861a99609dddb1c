#pragma once
// Help that fits where the user is: the page of the help book for the
// focused pane or dialog, and F1 inside dialogs.
#include <memory>
#include <string>

class wxWindow;
class wxEventFilter;

namespace app {

// The help book's page for the window that has the focus (null: none): the
// page of its dialog (with the anchor of its part, "panes.html#properties"),
// the panes' page inside the main window, else the first page.
std::string HelpPageFor(const wxWindow* focus);

// Opens the help book at the page for the focused window.
void ShowContextHelp(wxWindow* parent);

// A filter that opens the help for the focused window when F1 is pressed in
// a dialog, a message box or a file chooser (the main window's F1 is its
// menu's accelerator). Installed for as long as it lives.
std::unique_ptr<wxEventFilter> InstallDialogHelpKey();

} // namespace app
