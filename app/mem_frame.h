#pragma once
// HMp3MemFrame: the right side of the client view. It holds a splitter with
// one player-memory pane per memory, internal memory on top, built at the
// first successful connect and hidden while no player is attached; then the
// frame shows the notice "KD5200 is not Connected." instead.
#include <array>

#include <wx/containr.h>
#include <wx/window.h>

#include "ui/list/file_list_ctrl.h"

class HFileSource;
class HFileTarget;
class HMp3MemView;
class wxSplitterWindow;
class wxStaticText;

class HMp3MemFrame : public wxNavigationEnabled<wxWindow> {
public:
    explicit HMp3MemFrame(wxWindow* parent);
    ~HMp3MemFrame() override;

    // Index >= 0: the pane of that row, or null. Negative: the pane that
    // holds the keyboard focus, or null.
    HMp3MemView* GetPane(int index) const;
    // Selected rows of pane index (0 without such a pane).
    long GetSelectedCount(int index) const;
    // Whether pane index exists and can take files now.
    bool CanReceive(int index) const;
    // Negative index: whether a player is connected; otherwise whether the
    // memory's directory was read at the last connect.
    bool IsMemoryPresent(int index) const;
    int GetMemoryCount() const { return memoryCount_; }
    int GetMemoryMask() const { return memoryMask_; }

    // Opens the player when it is not open and answering, builds or hides
    // the splitter for the memory count and refreshes the panes.
    void Reconnect();
    // Titles every pane and lists its memory again (without a re-read).
    void UpdatePanes();

    // The pane's transfer roles.
    static HFileSource* SourceOf(HMp3MemView* pane);
    static HFileTarget* TargetOf(HMp3MemView* pane);

    wxSplitterWindow* GetSplitter() const { return splitter_; }

private:
    // Tells the person once, with the library's text, that the player is
    // there but its directory cannot be read (again only after it could be
    // read or was gone in between).
    void TellUnreadablePlayer();
    void BuildSplitter(int count);
    void PlaceSplitter();
    // Shows the "not connected" notice, centred, while no memory is shown.
    void PlaceNotice();
    void EqualizeRows();
    // The sash position at which the two rows share the splitter's height.
    int EqualSashPosition() const;

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);

    wxSplitterWindow* splitter_ = nullptr;
    wxStaticText* notice_ = nullptr;
    bool sashMoved_ = false; // the person has moved the sash between the rows
    // Per pane, its selected and focused rows before the last unplug.
    std::array<HFileListCtrl::NamedRows, 2> keptRows_;
    bool unreadableTold_ = false;
    int memoryCount_ = 0;
    int memoryMask_ = 0;

    wxDECLARE_EVENT_TABLE();
};
