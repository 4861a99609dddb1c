#pragma once
// CMainFrame: Songdock's top-level window. It holds the client view, the
// rebar with the file filter, and the status bar with the firmware version;
// it routes every command to the client view first, re-opens the player on
// every device change, and owns the Option, Help and About commands.
#include <memory>

#include <wx/frame.h>

class CChildView;
class HFilterCombo;
namespace controls {
class HReBar;
class HStatusBar;
} // namespace controls
namespace platform {
class DeviceMonitor;
}

class CMainFrame : public wxFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    CChildView* GetClientView() const { return view_; }
    HFilterCombo* GetFilterCombo() const { return filter_; }
    controls::HReBar* GetReBar() const { return rebar_; }
    controls::HStatusBar* GetStatusBarPanes() const { return status_; }

    // Whether a command may run now: its update handlers, reached the way
    // the command itself would be, enable it.
    bool IsCommandEnabled(int id);

protected:
    // Offers menu commands and update requests to the client view (and so
    // to the focused pane) before the frame's own table, and refuses a
    // command whose update rule disables it.
    bool TryBefore(wxEvent& event) override;

private:
    void OnClose(wxCloseEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnChildFocus(wxChildFocusEvent& event);
    void OnDeviceChange(wxCommandEvent& event);
    void OnIdle(wxIdleEvent& event);
    // Re-opens the player and re-reads its directories after a device change.
    void ReadPlayerAgain();
    // Whether a question, a dialog or a drag is open now.
    bool Busy() const;
    // Runs the Edit commands in the focused text field; false when none has the focus.
    bool EditText(wxEvent& event);
    void OnFilterChange(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnOption(wxCommandEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnNextPane(wxCommandEvent& event);
    void OnUpdateFirmware(wxUpdateUIEvent& event);
    void OnUpdateEnabled(wxUpdateUIEvent& event);
    void OnUpdateDisabled(wxUpdateUIEvent& event);
    void OnUpdateMenuItem(wxUpdateUIEvent& event);

    CChildView* view_ = nullptr;
    controls::HReBar* rebar_ = nullptr;
    HFilterCombo* filter_ = nullptr;
    controls::HStatusBar* status_ = nullptr;
    std::unique_ptr<platform::DeviceMonitor> monitor_;
    // A device change came while a question was open: the panes are re-built
    // once it has been answered, so that the question's rows stay as shown.
    bool deviceChangePending_ = false;
    int64_t plugGeneration_ = -1; // the player's plug count when last read

    wxDECLARE_EVENT_TABLE();
};
