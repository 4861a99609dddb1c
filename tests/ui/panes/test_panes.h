#pragma once
// Test explorers: panes with a file list that act as transfer sources and
// targets and record what reaches them.
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/panel.h>

#include "ui/panes/pane_parts.h"
#include "ui/list/drag_image.h"
#include "ui/list/file_list_ctrl.h"
#include "lib/lists/name_list.h"

// A pane whose list starts drags. As a target its window is either the list
// (as the desktop view's) or the whole pane (as a memory pane's).
class TestPane : public wxPanel,
                 public HFileSourcePart,
                 public HFileTargetPart,
                 public HFileListCtrl::Source {
public:
    enum class DropWindow { List, Pane };

    TestPane(wxWindow* parent, const wxPoint& pos, const wxSize& size, DropWindow drop,
             const char* prefix)
        : wxPanel(parent, wxID_ANY, pos, size), drop_(drop) {
        list = new HFileListCtrl(this, 145, 0, wxPoint(0, 20), wxSize(size.x, size.y - 20));
        list->AppendColumnWidth("Name", wxLIST_FORMAT_LEFT, 160);
        for (int i = 0; i < 5; ++i)
            names.push_back(prefix + std::to_string(i) + ".mp3");
        list->SetSource(this);
        list->ShowRows(names.size());
        list->Bind(wxEVT_LIST_BEGIN_DRAG, [this](wxListEvent& e) {
            beganDrag = true;
            dragResult = BeginDrag(e.GetPoint());
        });
    }

    // HFileSource
    wxWindow* GetSourceWindow() const override { return list; }
    wxBitmap CreateDragImage(wxPoint* origin) override { return BuildDragImage(*list, origin); }
    bool CollectSelection(HNameList& out) override {
        for (long row : list->GetSelectedRows())
            out.Add(names[list->GetRowData(row)].c_str(), row, 0);
        return !out.IsEmpty();
    }
    bool SendTo(HFileTarget* target) override {
        sentTo.push_back(target);
        HNameList selection;
        CollectSelection(selection);
        return target && target->Receive(selection, true);
    }

    // HFileTarget
    wxWindow* GetTargetWindow() const override {
        return drop_ == DropWindow::List ? static_cast<wxWindow*>(list)
                                         : const_cast<TestPane*>(this);
    }
    bool Receive(HNameList& in, bool transfer) override {
        received.clear();
        for (const auto& entry : in)
            received.push_back(entry.name);
        transferred = transfer;
        return true;
    }
    bool CanReceive() const override { return receiving; }

    // HFileListCtrl::Source
    std::string GetCellText(uint32_t data, int) const override { return names[data]; }

    std::vector<std::string> names;
    HFileListCtrl* list;
    bool receiving = true;
    bool beganDrag = false;
    bool dragResult = false;
    bool transferred = false;
    std::vector<HFileTarget*> sentTo;
    std::vector<std::string> received;

private:
    DropWindow drop_;
};
