#include "app/songdock_app.h"

wxIMPLEMENT_APP(CSongdockApp);
