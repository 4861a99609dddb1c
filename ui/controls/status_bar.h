#pragma once
// HStatusBar: the main window's status bar. Panes, in order: the message
// pane, the CAP, NUM and SCRL key indicators and the firmware pane. Each pane
// but the first has a command id; on idle the bar asks the frame's update
// handlers (wxEVT_UPDATE_UI with the pane's id) for its text. The key
// indicators fall back to the keyboard state when no handler answers.
#include <memory>
#include <span>
#include <vector>

#include <wx/frame.h>
#include <wx/statusbr.h>

class wxStaticText;

namespace platform {
class Announcer;
}

namespace controls {

class HStatusBar : public wxStatusBar {
public:
    // The ids of the panes in order; 0 stands for the message pane.
    static std::span<const int> Indicators();

    // Creates the bar at the bottom of frame and makes it the frame's status
    // bar. The firmware pane is as wide as the text of string 3200.
    explicit HStatusBar(wxFrame* frame);
    ~HStatusBar() override;

    // Index of the pane with the given id, or -1.
    int CommandToIndex(int id) const;
    int GetPaneId(int index) const;
    // Sets the text of the pane with the given id (the message pane is 0).
    void SetPaneText(int id, const wxString& text);
    wxString GetPaneText(int id) const;
    // Shows text in the message pane and tells a screen reader, once: the
    // end of a piece of work the user waited for.
    void Announce(const wxString& text);

    // Asks the update handlers for the text of every indicator pane now.
    void UpdatePanes();

    // Shows or hides the bar and lays the frame out again.
    void ShowBar(bool show);
    // Makes the frame handle the "&Status Bar" command (ids::kViewStatusBar)
    // and its update handler through this bar.
    void BindToggle();

protected:
    // Shows a pane's new text in its label.
    void DoUpdateStatusText(int field) override;

private:
    void PlaceLabels();
    void OnSize(wxSizeEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnToggle(wxCommandEvent& event);
    void OnUpdateToggle(wxUpdateUIEvent& event);

    wxFrame* frame_;
    std::vector<wxStaticText*> labels_; // one per pane, children of the bar
    std::unique_ptr<platform::Announcer> announcer_;
};

// Shows text in the message pane of the status bar of window's frame; an
// HStatusBar also announces it.
void AnnounceInStatusBar(wxWindow* window, const wxString& text);

} // namespace controls
