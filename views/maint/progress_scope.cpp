#include "views/maint/progress_scope.h"

#include <wx/evtloop.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "ui/panes/transfer_progress.h"
#include "base/resources/menus.h"

namespace maint {

namespace {

class ProgressDialogScope : public CallScope {
public:
    ProgressDialogScope(wxWindow* parent, const wxString& title, LongCall call)
        : progress_(parent, title,
                    call == LongCall::kFirmwareWrite ? app::TransferProgress::CancelRule::kNever
                                                     : app::TransferProgress::CancelRule::kAllowed,
                    call == LongCall::kFirmwareWrite ? 0 : 200) {}

    // The library works off the window thread; the dialog stays answered.
    int Run(const std::function<int()>& call) override { return progress_.Run(call); }

private:
    app::TransferProgress progress_;
};

// The conversion of a HEX file reports no progress: a busy cursor shows that
// Songdock works, and the area of the file dialog just closed is painted
// again first (only paint events are handled, no input).
class BusyScope : public CallScope {
public:
    BusyScope() {
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
    }

private:
    wxBusyCursor busy_;
};

wxString FindText(std::span<const menus::MenuItem> table, int command) {
    for (const auto& item : table)
        if (item.kind == menus::Kind::Item && item.id == command && item.text)
            return wxString::FromUTF8(item.text).BeforeFirst('\t');
    return {};
}

} // namespace

CallScopeFactory ProgressDialogs(wxWindow* parent, const wxString& title) {
    return [parent, title](LongCall call) -> std::unique_ptr<CallScope> {
        if (call == LongCall::kHexConversion) return std::make_unique<BusyScope>();
        return std::make_unique<ProgressDialogScope>(parent, title, call);
    };
}

wxString CommandText(int command) {
    wxString text = FindText(menus::MainMenu(), command);
    if (text.empty()) text = FindText(menus::MemoryContextMenu(), command);
    return text;
}

} // namespace maint
