#include "app/help_topics.h"

#include "app/about_dialog.h"
#include "base/platform/gui/box_help_key.h"
#include "base/platform/gui/help_book.h"
#include "base/platform/task_help.h"
#include "views/desktop/desktop_view.h"
#include "views/desktop/properties_dialog.h"
#include "views/maint/font_info_dialog.h"
#include "views/player/memory_pane.h"
#include "views/settings/config_dialog.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/window.h>

namespace app {

namespace {

// The page of the task under way, else that of the window.
std::string TaskOrWindowPage(const wxWindow* focus) {
    const std::string& task = platform::CurrentTaskHelp();
    return task.empty() ? HelpPageFor(focus) : task;
}

class DialogHelpKey : public wxEventFilter {
public:
    DialogHelpKey() {
        wxEvtHandler::AddFilter(this);
        // The toolkit's own boxes and choosers: the help of what asked them.
        platform::SetBoxHelp([](wxWindow* asker) {
            platform::ShowHelpBook(asker ? wxGetTopLevelParent(asker) : nullptr,
                                   TaskOrWindowPage(asker));
        });
    }
    ~DialogHelpKey() override {
        platform::SetBoxHelp(nullptr);
        wxEvtHandler::RemoveFilter(this);
    }

    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() != wxEVT_KEY_DOWN ||
            static_cast<wxKeyEvent&>(event).GetKeyCode() != WXK_F1)
            return Event_Skip;
        wxWindow* focus = wxWindow::FindFocus();
        wxWindow* top = focus ? wxGetTopLevelParent(focus) : nullptr;
        if (!dynamic_cast<wxDialog*>(top)) return Event_Skip;
        // Once, after the key's own handling has ended.
        wxTheApp->CallAfter([top] { ShowContextHelp(top); });
        return Event_Processed;
    }
};

} // namespace

std::string HelpPageFor(const wxWindow* focus) {
    for (const wxWindow* w = focus; w; w = w->GetParent()) {
        if (dynamic_cast<const HConfigDialog*>(w)) return "configuration.html";
        if (dynamic_cast<const HFontInfoDialog*>(w)) return "font.html";
        if (dynamic_cast<const HPropertiesDialog*>(w)) return "panes.html#properties";
        if (dynamic_cast<const CAboutDialog*>(w)) return "index.html";
        if (dynamic_cast<const HDesktopView*>(w) || dynamic_cast<const HMp3MemView*>(w))
            return "panes.html";
        if (w->IsTopLevel()) break;
    }
    return "index.html";
}

void ShowContextHelp(wxWindow* parent) {
    platform::ShowHelpBook(parent, TaskOrWindowPage(wxWindow::FindFocus()));
}

std::unique_ptr<wxEventFilter> InstallDialogHelpKey() {
    return std::make_unique<DialogHelpKey>();
}

} // namespace app
