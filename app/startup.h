#pragma once
// Songdock's start-up and exit, apart from the application object, so that
// the window tests run the same steps in their own process. The program
// installs the toolkit's message boxes and dialogs first; tests answer them.
class CMainFrame;

namespace app {

// Sets the user's locale for character types and collation, loads the settings held in memory,
// opens the device layer and creates and shows the main window in its stored state.
// Null, said on the error output, when the system makes no window.
CMainFrame* StartSongdock();
// Closes the device layer and writes the settings held in memory.
void FinishSongdock();

} // namespace app
