#pragma once
// HMp3MemView: the pane that lists the files of one player memory, with a
// header line (a label) (title and totals) above a report list of the
// columns Name, Number, Size and Type.
//
// How the main window uses it:
//  - create one pane per memory, SetTitle(sid::kInternalMemory or
//    sid::kExternalMemory), then FillList(true, memory) after every connect;
//    FillList(false) re-lists from the device layer's cache;
//  - register the transfer peers: the pane is an HFileSource (it sends from
//    its list, GetSourceWindow) and an HFileTarget (it receives on its whole
//    window, GetTargetWindow);
//  - route the pane commands (ids::kDelete, kMoveUp, kMoveDown, kRefresh,
//    kPaneFormat, kPaneLowFormat, kRename, kPaneRawData) and their update
//    events to the focused pane with ProcessEventLocally; the pane's event
//    table holds one EVT_MENU/EVT_UPDATE_UI pair per command;
//  - FormatMemory serves the main window's own format commands;
//  - SetRawDataHandler connects "Download Raw Data" to the raw-data reader.
// Column widths are saved under the pane's memory when the pane is destroyed.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/containr.h>
#include <wx/window.h>

#include "ui/panes/pane_parts.h"
#include "ui/list/file_kinds.h"
#include "ui/list/file_list_ctrl.h"
#include "lib/device/device_watch.h"
#include "views/player/memory_commands.h"
#include "views/player/memory_rows.h"
#include "views/player/memory_transfers.h"

class wxContextMenuEvent;
class wxDropFilesEvent;
class wxListEvent;
class wxStaticText;
class wxUpdateUIEvent;

class HMp3MemView : public wxNavigationEnabled<wxWindow>,
                    public HFileSourcePart,
                    public HFileTargetPart,
                    private HFileListCtrl::Source {
public:
    // Reads one memory's raw blocks into a file (the maintenance commands).
    using RawDataHandler = std::function<void(wxWindow* parent, int memory)>;

    explicit HMp3MemView(wxWindow* parent, wxWindowID id = wxID_ANY,
                         const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize);
    ~HMp3MemView() override;

    // The title of the header line, from the string table or as text.
    void SetTitle(int stringId);
    void SetTitleText(const std::string& title);
    std::string GetTitle() const { return title_; }

    // (Re)lists the memory (-1: the pane's own); force reads the directory
    // from the player again. True when the pane is connected afterwards.
    bool FillList(bool force, int memory = -1);
    // Sorts by a column and stores the order for the pane's memory.
    bool SortList(int column, bool ascending);

    int GetSelectedCount() const;
    int GetMemory() const { return memory_; }
    bool IsConnected() const { return connected_; }
    HFileListCtrl* GetList() const { return list_; }
    // The header line as it is shown.
    std::string GetHeaderText() const;

    // Deletes the selected files, asking first when confirm is set. True
    // when nothing failed.
    bool DeleteSelected(bool confirm);
    // Moves the selected files one place up (ids::kMoveUp) or down
    // (ids::kMoveDown); they stay selected.
    bool MoveSelected(int command);
    // Formats a memory (-1: the pane's own) after asking; low selects the
    // low-level format. True when the format ran and succeeded.
    bool FormatMemory(bool low, int memory = -1);
    // With refuse set, tells the user that path is a folder and returns
    // false; otherwise returns true.
    virtual bool RefuseDirectory(const std::string& path, bool refuse);

    // HFileSource
    wxWindow* GetSourceWindow() const override;
    wxBitmap CreateDragImage(wxPoint* origin) override;
    bool CollectSelection(HNameList& list) override;
    bool SendTo(HFileTarget* target) override;

    // HFileTarget
    wxWindow* GetTargetWindow() const override;
    std::optional<std::string> GetTargetFolder() const override;
    bool CanReceive() const override;
    bool Receive(HNameList& list, bool transfer) override;

    // Sets the raw-data reader of every pane; returns the old one. Without
    // one the command says that it is not available.
    static RawDataHandler SetRawDataHandler(RawDataHandler handler);

private:
    // HFileListCtrl::Source
    std::string GetCellText(uint32_t data, int column) const override;
    int GetCellImage(uint32_t data) const override;

    void SetupColumns(int memory);
    // The order of two rows by a column, ending on their names.
    std::function<int(uint32_t, uint32_t)> ByColumn(int column) const;
    bool Disconnect();
    void AcceptDrops(bool accept);
    void SaveColumnWidths();
    // The entry of a row as it is shown.
    player::NamedEntry EntryOf(uint32_t data) const;
    // Whether the entries are still as shown on the pane's memory, and the
    // player unchanged since watch was made; otherwise says so (as of
    // moment) and lists the player again.
    bool StillAsShown(const device::PlayerWatch& watch,
                      const std::vector<player::NamedEntry>& entries, int memory,
                      device::ChangeMoment moment);
    // Says text and lists the player again.
    void TellChanged(const std::string& text);
    // Shows what a transfer did in the frame's status bar.
    void ShowOutcome(const player::MemoryTransfers::Outcome& outcome);
    // The selected rows' entries, in list order.
    std::vector<int32_t> SelectedNumbers() const;
    void SelectNumbers(const std::vector<int32_t>& numbers);
    // Shows the pane's menu at a point on the screen (wxDefaultPosition: the pointer).
    void ShowContextMenu(const wxPoint& at);
    void UpdateHeader();
    int HeaderHeight() const;

    void OnSize(wxSizeEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnBeginDrag(wxListEvent& event);
    void OnListKeyDown(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);
    void OnRightClick(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnDropFiles(wxDropFilesEvent& event);

    void OnDelete(wxCommandEvent& event);
    void OnUpdateDelete(wxUpdateUIEvent& event);
    void OnMove(wxCommandEvent& event);
    void OnUpdateMoveUp(wxUpdateUIEvent& event);
    void OnUpdateMoveDown(wxUpdateUIEvent& event);
    void OnRefresh(wxCommandEvent& event);
    void OnFormat(wxCommandEvent& event);
    void OnLowFormat(wxCommandEvent& event);
    void OnRename(wxCommandEvent& event);
    void OnRawData(wxCommandEvent& event);
    void OnUpdateAlways(wxUpdateUIEvent& event);
    void OnUpdateConnected(wxUpdateUIEvent& event);

    std::string title_;
    wxStaticText* header_ = nullptr;
    HFileListCtrl* list_ = nullptr;
    mutable HFileKinds kinds_; // icons are looked up when rows are painted
    std::vector<player::MemoryRow> rows_;
    int memory_ = -1;
    uint64_t capacity_ = 0;
    uint64_t freeSpace_ = 0;
    int fileCount_ = 0;
    bool connected_ = false;
    bool unreadable_ = false; // the player is there but its directory cannot be read
    int sortColumn_ = 0;
    bool sortAscending_ = true;
    bool sortStored_ = false; // the settings hold sortColumn_ and sortAscending_
    bool acceptingDrops_ = false;
    bool menuPending_ = false; // a context menu is about to be shown
    // The file a name edit started by Rename was started on, and the player then.
    std::optional<player::NamedEntry> editing_;
    std::optional<device::PlayerWatch> editWatch_;
    player::MemoryTransfers transfers_;

    wxDECLARE_EVENT_TABLE();
};
