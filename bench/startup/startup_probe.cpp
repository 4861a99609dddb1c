// Starts Songdock as its program does and exits as soon as a memory pane has
// painted a listing with rows, so that a script can time the whole process.
#include <cstdio>
#include <cstdlib>

#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/listctrl.h>

#include "app/main_frame.h"
#include "app/startup.h"
#include "base/resources/ids.h"
#include "ui/list/file_list_ctrl.h"

namespace {

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

class ProbeApp : public wxApp {
public:
    bool OnInit() override {
        filter_ = new FirstListing;
        SetTopWindow(app::StartSongdock());
        return true;
    }

private:
    FirstListing* filter_ = nullptr;
};

} // namespace

wxIMPLEMENT_APP(ProbeApp);
