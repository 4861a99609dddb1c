#pragma once
// The progress dialog that the window layer puts around the long device
// calls of the maintenance commands.
#include "lib/maint/long_call.h"

#include <wx/string.h>

class wxWindow;

namespace maint {

// A factory whose scopes show an app::TransferProgress titled title, owned
// by parent. A firmware write shows at once and offers no Cancel; the
// conversion of a HEX file before it shows a busy cursor.
CallScopeFactory ProgressDialogs(wxWindow* parent, const wxString& title);

// The text of a command's menu item (main menu or memory context menu).
wxString CommandText(int command);

} // namespace maint
