// The peer: a minimal frame with a one-row report list that exits as soon as
// the list has painted.
#include <cstdlib>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

namespace {

class MinimalApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame =
            new wxFrame(nullptr, wxID_ANY, "Minimal", wxDefaultPosition, wxSize(960, 640));
        auto* list = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
        list->AppendColumn("Name");
        list->InsertItem(0, "row");
        list->Bind(wxEVT_PAINT, [](wxPaintEvent& event) {
            event.Skip();
            wxTheApp->CallAfter([] { std::_Exit(0); });
        });
        frame->Show();
        return true;
    }
};

} // namespace

wxIMPLEMENT_APP(MinimalApp);
