#pragma once
// Installs the wxWidgets implementations of the replaceable services of
// platform/: message boxes, file dialogs and the launcher. Call once after
// the toolkit is initialised (in the application's OnInit). With these
// installed, the opaque owner of a message box or file dialog is a
// wxWindow* (or nullptr).

namespace platform {

// Message boxes as wxMessageDialog; an empty caption shows the
// application's name.
void InstallWxMessageBoxes();
// Open and save dialogs as wxFileDialog.
void InstallWxFileDialogs();
// Default applications through wxLaunchDefaultApplication, programs
// through wxExecute.
void InstallWxLauncher();
// All of the above.
void InstallWxServices();

} // namespace platform
