#pragma once
// A frame with one file list of a few rows inside a panel that records the
// list's notifications, as an explorer pane receives them.
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/panel.h>

#include "ui/controls/icons.h"
#include "ui/list/file_list_ctrl.h"
#include "base/resources/ids.h"
#include "tests/support/gui_harness/gui_harness.h"

#include <gtest/gtest.h>

class ListFrame : public wxFrame, public HFileListCtrl::Source {
public:
    struct Row {
        std::string name;
        int size = 0;
        int image = -1;
    };

    explicit ListFrame(int count = 6)
        : wxFrame(nullptr, wxID_ANY, "list", wxPoint(60, 60), wxSize(420, 320)) {
        pane = new wxPanel(this);
        list = new HFileListCtrl(pane, 141, wxLC_EDIT_LABELS, wxPoint(0, 0), wxSize(400, 280));
        images = controls::LoadImageList(ids::kTreeBitmap);
        list->SetImageList(images.get(), wxIMAGE_LIST_SMALL);
        list->AppendColumnWidth("Name", wxLIST_FORMAT_LEFT, 150);
        list->AppendColumnWidth("Size", wxLIST_FORMAT_RIGHT, 80);
        for (int i = 0; i < count; ++i)
            rows.push_back({"file" + std::to_string(i) + ".mp3", (count - i) * 10, i % 10});
        list->SetSource(this);
        list->ShowRows(rows.size());
        auto record = [this](const char* what) {
            return [this, what](wxListEvent& e) {
                events.push_back(std::string(what) + ":" + std::to_string(e.GetIndex()));
                if (std::string(what) == "edit") {
                    label = e.GetLabel().utf8_string();
                    cancelled = e.IsEditCancelled();
                }
            };
        };
        pane->Bind(wxEVT_LIST_ITEM_ACTIVATED, record("activate"));
        pane->Bind(wxEVT_LIST_END_LABEL_EDIT, record("edit"));
    }
    std::string GetCellText(uint32_t data, int column) const override {
        return column == 0 ? rows[data].name : std::to_string(rows[data].size) + "KB";
    }
    int GetCellImage(uint32_t data) const override { return rows[data].image; }

    std::vector<Row> rows;
    wxPanel* pane;
    HFileListCtrl* list;
    std::unique_ptr<wxImageList> images;
    std::vector<std::string> events;
    std::string label;
    bool cancelled = false;
};

// A shown ListFrame for each test, destroyed afterwards.
class ListFrameTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new ListFrame;
        gui::ShowAndWait(frame);
    }
    void TearDown() override {
        frame->Destroy();
        gui::Pump(20);
    }
    ListFrame* frame = nullptr;
};
