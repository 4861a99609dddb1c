#pragma once
// CChildView: the main window's client area. The desktop view on the left,
// the memory frame on the right, and between them a 55-pixel gap with the
// four transfer buttons. It owns the commands that concern the player as a
// whole (format, firmware, font, raw data, refresh) and routes every other
// command to the pane that holds the keyboard focus.
#include <memory>

#include <wx/containr.h>
#include <wx/window.h>

#include "app/mem_frame.h"

class HDesktopView;
class MaintenanceCommands;
class HMp3MemView;
namespace controls {
class HIconButton;
}

class CChildView : public wxNavigationEnabled<wxWindow> {
public:
    // Width of the gap between the two panes.
    static constexpr int kGap = 55;

    explicit CChildView(wxWindow* parent);
    ~CChildView() override;

    // Index -1: the desktop view; other indexes go to the memory frame's
    // GetPane (0 and 1 the memory panes, below -1 the focused memory pane).
    wxWindow* GetPane(int index) const;
    HDesktopView* GetDesktopView() const { return desktop_; }
    HMp3MemFrame* GetMemFrame() const { return memFrame_; }
    // The areas given to the two sides, in client coordinates.
    wxRect GetLeftArea() const { return left_; }
    wxRect GetRightArea() const { return right_; }

    // Places the children in the two areas and the buttons in the gap.
    void RecalcLayout();
    // Opens the player when needed, rebuilds the panes and the peers.
    void Reconnect();
    // Re-lists the desktop folder and every memory pane (re-reading the
    // player's directories when reread is set).
    void RefreshPanes(bool reread);

    // Offers a command or update request to the pane that holds the focus,
    // then to this view's own table. True when a handler took it.
    bool RouteCommand(wxEvent& event);
    // Notes which pane holds the keyboard focus, from the focused window.
    void NoteFocus(wxWindow* focus);
    // The pane that holds the keyboard focus: -1 the desktop view, 0 or 1 a
    // memory pane, kNoPane for neither.
    static constexpr int kNoPane = -100;
    int GetFocusedPane();
    // Gives the keyboard focus to a pane's list (-1 the desktop view, 0 or 1
    // a memory pane); the desktop view's when that pane is not shown.
    void FocusPane(int pane);

private:
    void Layout(const wxRect& client);
    HMp3MemView* MemoryPane(int index) const;
    void SendToPane(int memory);
    void ReceiveFromPane(int memory);
    bool SingleFormatEnabled(int memory) const;
    int FormatSingle(int memory, bool low);
    void FormatAll(bool low);

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnDownloadInternal(wxCommandEvent& event);
    void OnDownloadExternal(wxCommandEvent& event);
    void OnUploadInternal(wxCommandEvent& event);
    void OnUploadExternal(wxCommandEvent& event);
    void OnUpdateDownloadInternal(wxUpdateUIEvent& event);
    void OnUpdateDownloadExternal(wxUpdateUIEvent& event);
    void OnUpdateUploadInternal(wxUpdateUIEvent& event);
    void OnUpdateUploadExternal(wxUpdateUIEvent& event);
    void OnFormat(wxCommandEvent& event);
    void OnUpdateFormat(wxUpdateUIEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnUpdateAlways(wxUpdateUIEvent& event);

    HDesktopView* desktop_ = nullptr;
    HMp3MemFrame* memFrame_ = nullptr;
    controls::HIconButton* buttons_[4] = {};
    wxRect left_;
    wxRect right_;
    int focusedPane_ = kNoPane;
    // The memory pane that had the focus when the player went away: it gets
    // the focus back when the player returns.
    int refocusPane_ = kNoPane;
    // Firmware, font and raw-data commands, offered after the view's own table.
    std::unique_ptr<MaintenanceCommands> maintenance_;

    wxDECLARE_EVENT_TABLE();
};
