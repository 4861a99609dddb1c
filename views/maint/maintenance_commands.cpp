#include "views/maint/maintenance_commands.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include "lib/device/device_layer.h"
#include "lib/maint/firmware_upgrade.h"
#include "views/maint/font_info_dialog.h"
#include "views/maint/progress_scope.h"
#include "views/maint/raw_data_command.h"
#include "lib/maint/lcd_font.h"
#include "base/platform/message_box.h"
#include "base/platform/task_help.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

// clang-format off
wxBEGIN_EVENT_TABLE(MaintenanceCommands, wxEvtHandler)
    EVT_MENU(ids::kUpgradeApplication, MaintenanceCommands::OnUpgradeApplication)
    EVT_MENU(ids::kUpgradeBoot, MaintenanceCommands::OnUpgradeBoot)
    EVT_MENU(ids::kDownloadFont, MaintenanceCommands::OnDownloadFont)
    EVT_MENU(ids::kEraseFont, MaintenanceCommands::OnEraseFont)
    EVT_MENU(ids::kUploadFont, MaintenanceCommands::OnUploadFont)
    EVT_MENU(ids::kViewFontInfo, MaintenanceCommands::OnViewFontInfo)
    EVT_MENU(ids::kRawDataInternal, MaintenanceCommands::OnRawDataInternal)
    EVT_MENU(ids::kRawDataExternal, MaintenanceCommands::OnRawDataExternal)
    EVT_MENU(ids::kViewRawData, MaintenanceCommands::OnViewRawData)
    EVT_UPDATE_UI(ids::kUpgradeApplication, MaintenanceCommands::OnUpdateUpgrade)
    EVT_UPDATE_UI(ids::kUpgradeBoot, MaintenanceCommands::OnUpdateUpgrade)
    EVT_UPDATE_UI(ids::kDownloadFont, MaintenanceCommands::OnUpdateInternalPresent)
    EVT_UPDATE_UI(ids::kEraseFont, MaintenanceCommands::OnUpdateInternalPresent)
    EVT_UPDATE_UI(ids::kUploadFont, MaintenanceCommands::OnUpdateInternalPresent)
    EVT_UPDATE_UI(ids::kViewFontInfo, MaintenanceCommands::OnUpdateInternalPresent)
    EVT_UPDATE_UI(ids::kRawDataInternal, MaintenanceCommands::OnUpdateInternalPresent)
    EVT_UPDATE_UI(ids::kRawDataExternal, MaintenanceCommands::OnUpdateExternalPresent)
    EVT_UPDATE_UI(ids::kViewRawData, MaintenanceCommands::OnUpdateAlways)
wxEND_EVENT_TABLE()
// clang-format on

MaintenanceCommands::MaintenanceCommands(wxWindow* owner, Hooks hooks)
    : owner_(owner), hooks_(std::move(hooks)) {}

int MaintenanceCommands::MemoryCount() const {
    if (hooks_.memoryCount) return hooks_.memoryCount();
    return DevGetHandle() ? 2 : 0;
}

int MaintenanceCommands::MemoryMask() const {
    if (hooks_.memoryMask) return hooks_.memoryMask();
    return (DevGetCapacityBlocks(0) > 0 ? 1 : 0) | (DevGetCapacityBlocks(1) > 0 ? 2 : 0);
}

// ---- Firmware upgrade -------------------------------------------------------

void MaintenanceCommands::Upgrade(int boot, int command) {
    const platform::TaskHelp help("firmware.html");
    const int result = maint::UpgradeCode(
        owner_, DevGetHandle(), boot, maint::ProgressDialogs(owner_, maint::CommandText(command)));
    if (!maint::UpgradeWasAttempted(result)) return;
    // The player restarts with its new code (or in an unknown state): the
    // user unplugs it and starts the program again.
    const std::string restart = strings::Load(sid::kRestart);
    platform::MessageBox(owner_, std::string(strings::Load(sid::kUnplug)) + "\n" + restart, restart,
                         platform::kMbOk | platform::kMbIconWarning);
    if (hooks_.closeProgram) {
        hooks_.closeProgram();
    } else if (wxWindow* top = wxGetTopLevelParent(owner_)) {
        top->Close();
    }
}

void MaintenanceCommands::OnUpgradeApplication(wxCommandEvent&) {
    Upgrade(0, ids::kUpgradeApplication);
}

void MaintenanceCommands::OnUpgradeBoot(wxCommandEvent&) {
    Upgrade(1, ids::kUpgradeBoot);
}

// ---- LCD font -------------------------------------------------------------

void MaintenanceCommands::OnDownloadFont(wxCommandEvent&) {
    const platform::TaskHelp help("font.html");
    // The title of the font file dialog also heads the progress dialog.
    maint::DownloadLcdFont(
        owner_,
        maint::ProgressDialogs(owner_, wxString::FromUTF8(strings::Load(sid::kFontDownloadTitle))));
    if (hooks_.updatePanes) hooks_.updatePanes();
}

void MaintenanceCommands::OnEraseFont(wxCommandEvent&) {
    const platform::TaskHelp help("font.html");
    maint::EraseLcdFont(owner_);
    if (hooks_.updatePanes) hooks_.updatePanes();
}

void MaintenanceCommands::OnUploadFont(wxCommandEvent&) {
    const platform::TaskHelp help("font.html");
    const auto folder = hooks_.targetFolder ? hooks_.targetFolder() : std::nullopt;
    if (!folder) return;
    maint::UploadLcdFont(owner_, *folder,
                         maint::ProgressDialogs(owner_, maint::CommandText(ids::kUploadFont)));
    if (hooks_.relistDesktop) hooks_.relistDesktop();
}

void MaintenanceCommands::OnViewFontInfo(wxCommandEvent&) {
    ShowFontInformation(wxGetTopLevelParent(owner_));
}

// ---- Raw data ---------------------------------------------------------------

void MaintenanceCommands::OnRawDataInternal(wxCommandEvent&) {
    const platform::TaskHelp help("rawdata.html");
    DownloadRawData(owner_, 0);
}

void MaintenanceCommands::OnRawDataExternal(wxCommandEvent&) {
    const platform::TaskHelp help("rawdata.html");
    DownloadRawData(owner_, 1);
}

void MaintenanceCommands::OnViewRawData(wxCommandEvent&) {
    const platform::TaskHelp help("rawdata.html");
    DownloadRawData(owner_, -1);
}

// ---- Enabling rules -----------------------------------------------------------

void MaintenanceCommands::OnUpdateUpgrade(wxUpdateUIEvent& event) {
    event.Enable(MemoryCount() > 0);
}

void MaintenanceCommands::OnUpdateInternalPresent(wxUpdateUIEvent& event) {
    event.Enable((MemoryMask() & 1) != 0);
}

void MaintenanceCommands::OnUpdateExternalPresent(wxUpdateUIEvent& event) {
    event.Enable((MemoryMask() & 2) != 0);
}

void MaintenanceCommands::OnUpdateAlways(wxUpdateUIEvent& event) {
    event.Enable(true);
}
