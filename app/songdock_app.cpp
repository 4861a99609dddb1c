#include "app/songdock_app.h"

#include "app/startup.h"

bool CSongdockApp::OnInit() {
    SetAppName("Songdock");
    SetVendorName("Zentrovia");
    SetTopWindow(app::StartSongdock());
    return true;
}

int CSongdockApp::OnExit() {
    app::FinishSongdock();
    return wxApp::OnExit();
}
