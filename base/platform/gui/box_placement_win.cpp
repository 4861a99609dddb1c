// The system's message box, moved over its owner once it has laid itself out:
// a hook on the window thread sees the box's dialog procedure return from
// WM_INITDIALOG (Wine activates the box before it has its size).
#include "base/platform/gui/box_placement.h"

#include <wx/msw/wrapwin.h>

#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// The owners of the boxes asked for now, the innermost last; null once its
// box is placed (the person may move it afterwards).
std::vector<HWND>& Owners() {
    static std::vector<HWND> owners;
    return owners;
}

bool IsMessageBox(HWND window) {
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    // Message boxes and task dialogs are both of the dialog class.
    return std::wstring_view(cls) == L"#32770" && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

void CentreOver(HWND box, HWND owner) {
    RECT around{}, size{};
    GetWindowRect(owner, &around);
    GetWindowRect(box, &size);
    const LONG width = size.right - size.left, height = size.bottom - size.top;
    LONG x = around.left + (around.right - around.left - width) / 2;
    LONG y = around.top + (around.bottom - around.top - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max(work.left, std::min(x, work.right - width));
        y = std::max(work.top, std::min(y, work.bottom - height));
    }
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK OnMessageDone(int code, WPARAM wParam, LPARAM lParam) {
    const auto* done = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && done && done->message == WM_INITDIALOG && !Owners().empty() &&
        Owners().back() && done->hwnd != Owners().back() && IsMessageBox(done->hwnd)) {
        CentreOver(done->hwnd, Owners().back());
        Owners().back() = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND TopLevelOf(wxWindow* owner) {
    wxWindow* top = owner ? wxGetTopLevelParent(owner) : nullptr;
    if (!top && wxTheApp) top = wxTheApp->GetTopWindow();
    return top ? static_cast<HWND>(top->GetHWND()) : nullptr;
}

} // namespace

CentredOverOwner::CentredOverOwner(wxWindow* owner)
    : hook_(reinterpret_cast<std::uintptr_t>(
          SetWindowsHookExW(WH_CALLWNDPROCRET, OnMessageDone, nullptr, GetCurrentThreadId()))) {
    Owners().push_back(TopLevelOf(owner));
}

CentredOverOwner::~CentredOverOwner() {
    Owners().pop_back();
    if (hook_) UnhookWindowsHookEx(reinterpret_cast<HHOOK>(hook_));
}

} // namespace platform
