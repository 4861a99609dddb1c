// Reads a program's window as a Windows screen reader does: the top-level
// window whose title starts with the given text, then each visible child
// control with its class, its text and the name its accessible object gives
// (MSAA, which a control without a text of its own may answer), and the rows
// of each list view (the first column of every row). The output is UTF-8, a
// line per control:
//   window<TAB>TITLE
//   CLASS<TAB>TEXT<TAB>ACCESSIBLE NAME
//   row<TAB>NAME               (below its list view)
// With --tab, only the controls that Tab stops at, enabled or not (those a
// screen reader names as the person moves through the window).
// Exit 1 if no such window exists.
// Usage: window_reader [--tab] TITLE_START
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT reaches controls of another process, GetWindowText does not.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

struct Found {
    std::wstring start;
    HWND window = nullptr;
};

BOOL CALLBACK FindTop(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<Found*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    const std::wstring title = TextOf(window);
    if (title.compare(0, found->start.size(), found->start) == 0) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// The rows of a list view in another process: the item structure and its
// text buffer must lie in that process's memory.
void PrintRows(HWND list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return;
    constexpr size_t kText = 520;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kText * sizeof(wchar_t),
                                  MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
        const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT row = 0; row < count && row < 1000; ++row) {
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = remoteText;
            item.cchTextMax = static_cast<int>(kText);
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
            std::vector<wchar_t> text(kText, L'\0');
            ReadProcessMemory(process, remoteText, text.data(), (kText - 1) * sizeof(wchar_t), nullptr);
            std::printf("row\t%s\n", Utf8(text.data()).c_str());
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
}

// IAccessible's interface id, spelled out: MinGW's import library exports
// oleacc's IID_IAccessible as a function, whose address is no IID.
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name the control's accessible object gives, as a screen reader asks it.
std::wstring AccessibleName(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) text = name;
    SysFreeString(name);
    object->Release();
    return text;
}

BOOL CALLBACK PrintChild(HWND window, LPARAM tabOnly) {
    if (!IsWindowVisible(window)) return TRUE;
    if (tabOnly && !(GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP)) return TRUE;
    wchar_t cls[128] = {};
    GetClassNameW(window, cls, 128);
    std::printf("%s\t%s\t%s\n", Utf8(cls).c_str(), Utf8(TextOf(window)).c_str(),
                Utf8(AccessibleName(window)).c_str());
    if (std::wstring(cls) == WC_LISTVIEWW) PrintRows(window);
    return TRUE;
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool tabOnly = argc == 3 && std::wstring(argv[1]) == L"--tab";
    if (argc != 2 && !tabOnly) {
        std::fprintf(stderr, "usage: window_reader [--tab] TITLE_START\n");
        return 2;
    }
    Found found{argv[argc - 1]};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&found));
    if (!found.window) {
        std::fprintf(stderr, "window_reader: no window whose title starts so\n");
        return 1;
    }
    CoInitialize(nullptr);
    std::printf("window\t%s\n", Utf8(TextOf(found.window)).c_str());
    EnumChildWindows(found.window, PrintChild, tabOnly);
    return 0;
}
