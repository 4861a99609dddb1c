#pragma once
// Ends the process at the first idle once Songdock's internal memory pane
// shows a listing with rows, so that a script can time the whole start-up.
#include <cstdlib>

#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/window.h>

#include "base/resources/ids.h"
#include "ui/list/file_list_ctrl.h"

class FirstListing : public wxEventFilter {
public:
    FirstListing() { wxEvtHandler::AddFilter(this); }
    ~FirstListing() override { wxEvtHandler::RemoveFilter(this); }

    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() != wxEVT_IDLE || done_) return Event_Skip;
        // The first idle once the internal memory's rows are on the screen:
        // the table draws them before the program goes idle.
        auto* list = dynamic_cast<HFileListCtrl*>(wxWindow::FindWindowById(ids::kMemoryList));
        if (list && list->GetItemCount() > 0 && list->IsShownOnScreen()) {
            done_ = true;
            wxTheApp->CallAfter([] { std::_Exit(0); });
        }
        return Event_Skip;
    }

private:
    bool done_ = false;
};
