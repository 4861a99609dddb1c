// Songdock as songdock.exe starts it (its own application object), ending
// the process once the internal memory's rows are on the screen.
#include "app/songdock_app.h"
#include "first_listing.h"

namespace {

// Installed before the program starts: the filter list takes filters at
// any time, and this one acts only on the idle events of the window loop.
FirstListing firstListing;

} // namespace

wxIMPLEMENT_APP(CSongdockApp);
