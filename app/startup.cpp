#include "app/startup.h"

#include <clocale>
#include <cstdio>

#include "app/help_topics.h"
#include "app/main_frame.h"
#include "app/translations.h"
#include "app/window_state.h"
#include "lib/device/device_layer.h"
#include "base/platform/message_box.h"
#include "lib/settings/settings_store.h"
#include "base/resources/strings.h"

#include <wx/eventfilter.h>

namespace app {

namespace {
// F1 in Songdock's dialogs, from start to finish.
std::unique_ptr<wxEventFilter>& DialogHelpKey() {
    static std::unique_ptr<wxEventFilter> filter;
    return filter;
}
} // namespace

CMainFrame* StartSongdock() {
    // File names match and sort in the user's language; numbers stay plain.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_COLLATE, "");
    std::setlocale(LC_NUMERIC, "C");
    LoadTranslations();
    settings::SetCompanyKey("Zentrovia");
    settings::LoadFileFilter();
    settings::LoadLastDirectory();
    settings::SetLastDirectoryFrozen(true);

    DevInit();
    if (!DevLibraryLoaded())
        platform::MessageBox(nullptr, DevLibraryError(), "",
                             platform::kMbOk | platform::kMbIconWarning);

    DialogHelpKey() = InstallDialogHelpKey();
    auto* frame = new CMainFrame();
    if (!frame->GetHandle()) {
        // The system made no window (under Wine: a desktop started without
        // a display). Said where it can be read, rather than failing later
        // in every window built on this one.
        delete frame;
        std::fprintf(stderr, "songdock: %s\n",
                     strings::Tr(SD_TEXT("The main window could not be created: the desktop has no display.")));
        FinishSongdock();
        return nullptr;
    }
    std::optional<wxRect> place;
    if (const auto stored = settings::GetWindowPlace())
        place = wxRect(stored->left, stored->top, stored->width, stored->height);
    ShowWithState(*frame, settings::GetWindowState(), place);
    return frame;
}

void FinishSongdock() {
    DialogHelpKey().reset();
    DevExit();
    settings::SaveLastDirectory();
    settings::SaveFileFilter();
}

} // namespace app
