// F1 in the system's message boxes and file dialogs, caught by a message
// filter hook on the window thread while their modal loops run.
#include "base/platform/gui/box_help_key.h"

#include <wx/msw/wrapwin.h>

#include <wx/app.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <utility>
#include <vector>

namespace platform {

namespace {

std::function<void(wxWindow*)>& Help() {
    static std::function<void(wxWindow*)> help;
    return help;
}

// The askers of the keys alive now, the innermost last.
std::vector<wxWeakRef<wxWindow>>& Askers() {
    static std::vector<wxWeakRef<wxWindow>> askers;
    return askers;
}

LRESULT CALLBACK OnBoxMessage(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && message && message->message == WM_KEYDOWN && message->wParam == VK_F1 &&
        GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 &&
        Help() && !Askers().empty()) {
        wxWeakRef<wxWindow> asker = Askers().back();
        // After the key, from the program's own loop (the box's is running).
        wxTheApp->CallAfter([asker] {
            if (Help()) Help()(asker.get());
        });
        return 1; // the box does not see the key
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void SetBoxHelp(std::function<void(wxWindow*)> help) {
    Help() = std::move(help);
}

BoxHelpKey::BoxHelpKey(wxWindow* asker)
    : signal_(0),
      hook_(reinterpret_cast<std::uintptr_t>(
          SetWindowsHookExW(WH_MSGFILTER, OnBoxMessage, nullptr, GetCurrentThreadId()))) {
    Askers().emplace_back(asker);
}

BoxHelpKey::~BoxHelpKey() {
    Askers().pop_back();
    if (hook_) UnhookWindowsHookEx(reinterpret_cast<HHOOK>(hook_));
}

} // namespace platform
