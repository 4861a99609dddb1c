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

namespace {

class FirstListing : public wxEventFilter {
public:
    FirstListing() { wxEvtHandler::AddFilter(this); }
    ~FirstListing() override { wxEvtHandler::RemoveFilter(this); }

    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() != wxEVT_PAINT || done_) return Event_Skip;
        // The rows are drawn by the list's inner window, a child of the list
        // that is not its column header.
        auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
        auto* list = window ? dynamic_cast<wxListCtrl*>(window->GetParent()) : nullptr;
        if (list && list->GetId() == ids::kMemoryList && list->GetItemCount() > 0 &&
            window->GetPosition().y > 0) {
            done_ = true;
            // Runs once the paint handler has drawn the rows.
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
