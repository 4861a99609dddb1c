#include "app/startup.h"

#include <clocale>

#include "app/main_frame.h"
#include "app/window_state.h"
#include "lib/device/device_layer.h"
#include "base/platform/message_box.h"
#include "lib/settings/settings_store.h"

namespace app {

CMainFrame* StartSongdock() {
    // File names match and sort in the user's language; numbers stay plain.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_COLLATE, "");
    std::setlocale(LC_NUMERIC, "C");
    settings::SetCompanyKey("Zentrovia");
    settings::LoadFileFilter();
    settings::LoadLastDirectory();
    settings::SetLastDirectoryFrozen(true);

    DevInit();
    if (!DevLibraryLoaded())
        platform::MessageBox(nullptr, DevLibraryError(), "",
                             platform::kMbOk | platform::kMbIconWarning);

    auto* frame = new CMainFrame();
    ShowWithState(*frame, settings::GetWindowState());
    return frame;
}

void FinishSongdock() {
    DevExit();
    settings::SaveLastDirectory();
    settings::SaveFileFilter();
}

} // namespace app
