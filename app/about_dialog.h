#pragma once
// CAboutDialog: the About box (dialog 151): the application icon, the
// version line, a line about the program and an OK button.
#include <wx/dialog.h>

class CAboutDialog : public wxDialog {
public:
    explicit CAboutDialog(wxWindow* parent);
};
