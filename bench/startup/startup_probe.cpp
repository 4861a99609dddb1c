// Starts Songdock as its program does and exits as soon as a memory pane has
// painted a listing with rows, so that a script can time the whole process.
#include <cstdio>
#include <cstdlib>

#include <wx/app.h>

#include "app/main_frame.h"
#include "app/startup.h"
#include "first_listing.h"

namespace {

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
