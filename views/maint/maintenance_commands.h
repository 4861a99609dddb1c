#pragma once
// The client view's maintenance commands: firmware upgrade (32785, 32791),
// LCD font (32793, 32800, 32799, 32798) and raw data (32802, 32803, 32804),
// each an EVT_MENU / EVT_UPDATE_UI pair.
//
// Hook points for the client view:
// - Construct one MaintenanceCommands with the client view as owner (it owns
//   the dialogs and message boxes and is passed to the device library) and
//   the Hooks below; keep it as a member.
// - Chain it after the focused pane: in the view's ProcessEvent/TryAfter
//   (or its command routing), offer wxEVT_MENU and wxEVT_UPDATE_UI events to
//   it with ProcessEventLocally(). Alternatively PushEventHandler() it onto
//   the view (and PopEventHandler() before the view is destroyed).
// - Without hooks it stands alone: the enabling rules read the device
//   layer's state, the upgrade closes the owner's top-level window.
#include <functional>
#include <optional>
#include <string>

#include <wx/event.h>

class wxWindow;

class MaintenanceCommands : public wxEvtHandler {
public:
    struct Hooks {
        // Memory count DevConnect last reported (2 or 0). Default: 2 while
        // the device layer holds an open player.
        std::function<int()> memoryCount;
        // Memory mask DevConnect last reported. Default: bit i for each
        // memory whose last directory read gave a capacity.
        std::function<int()> memoryMask;
        // After Download Font and Erase Font: re-title and re-list both panes.
        std::function<void()> updatePanes;
        // Upload Font: the desktop view's target folder (none: nothing happens),
        // and its re-list afterwards.
        std::function<std::optional<std::string>()> targetFolder;
        std::function<void()> relistDesktop;
        // After an upgrade attempt: ends the program through its normal
        // shutdown. Default: Close() on the owner's top-level window.
        std::function<void()> closeProgram;
    };

    explicit MaintenanceCommands(wxWindow* owner, Hooks hooks = {});

    // Memory count and mask as the enabling rules see them.
    int MemoryCount() const;
    int MemoryMask() const;

private:
    void OnUpgradeApplication(wxCommandEvent& event);
    void OnUpgradeBoot(wxCommandEvent& event);
    void OnDownloadFont(wxCommandEvent& event);
    void OnEraseFont(wxCommandEvent& event);
    void OnUploadFont(wxCommandEvent& event);
    void OnViewFontInfo(wxCommandEvent& event);
    void OnRawDataInternal(wxCommandEvent& event);
    void OnRawDataExternal(wxCommandEvent& event);
    void OnViewRawData(wxCommandEvent& event);

    void OnUpdateUpgrade(wxUpdateUIEvent& event);
    void OnUpdateInternalPresent(wxUpdateUIEvent& event);
    void OnUpdateExternalPresent(wxUpdateUIEvent& event);
    void OnUpdateAlways(wxUpdateUIEvent& event);

    void Upgrade(int boot, int command);

    wxWindow* owner_;
    Hooks hooks_;

    wxDECLARE_EVENT_TABLE();
};
