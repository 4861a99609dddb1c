#include "app/songdock_app.h"

#include "app/main_frame.h"
#include "app/startup.h"
#include "base/platform/gui/accessibility.h"
#include "base/platform/gui/native_list.h"
#include "base/platform/gui/wx_services.h"

bool CSongdockApp::OnInit() {
    SetAppName("Songdock");
    SetVendorName("Zentrovia");
    platform::InstallWxServices();
    platform::ReadDialogsAsDialogs();
    platform::ShowFocusClearly();
    CMainFrame* frame = app::StartSongdock();
    if (!frame) return false;
    SetTopWindow(frame);
    return true;
}

int CSongdockApp::OnExit() {
    app::FinishSongdock();
    return wxApp::OnExit();
}
