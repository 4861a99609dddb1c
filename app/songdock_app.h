#pragma once
// CSongdockApp: the application object. Start-up and exit are in startup.h;
// the main window handles About.
#include <wx/app.h>

class CSongdockApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;
};

wxDECLARE_APP(CSongdockApp);
