// Reads a program's window as a Windows screen reader does: the top-level
// window whose title starts with the given text, then each visible child
// control with its class, its text and the name its accessible object gives
// (MSAA, which a control without a text of its own may answer), the rows of
// each list view (the first column of every row) and the visible items of
// each tree view. The output is UTF-8, a line per control:
//   window<TAB>TITLE
//   CLASS<TAB>TEXT<TAB>ACCESSIBLE NAME
//   row<TAB>NAME               (below its list view)
//   row<TAB>NAME[<TAB>selected] (below its tree view, the visible items)
// With --tab, only the controls that Tab stops at, enabled or not (those a
// screen reader names as the person moves through the window).
// With --menus it reads the window's menu bar instead (menus are not child
// windows), an item a line, as menu_reader.dll prints it from inside the
// program's process (see there).
// Exit 1 if no such window (or menu bar) exists.
// Usage: window_reader [--tab | --menus] TITLE_START
#include "menu_request.h"

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

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

// A buffer in another process's memory: a control of that process writes
// what it is asked for there (an item structure, then its text).
class RemoteBuffer {
public:
    static constexpr size_t kText = 520;

    RemoteBuffer(HWND control, size_t header) : header_(header) {
        DWORD pid = 0;
        GetWindowThreadProcessId(control, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION,
                               FALSE, pid);
        if (process_)
            remote_ = VirtualAllocEx(process_, nullptr, header + kText * sizeof(wchar_t), MEM_COMMIT,
                                     PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return remote_ != nullptr; }
    HANDLE process() const { return process_; }
    LPARAM address() const { return reinterpret_cast<LPARAM>(remote_); }
    wchar_t* text() const {
        return reinterpret_cast<wchar_t*>(static_cast<char*>(remote_) + header_);
    }
    void Write(const void* header) const {
        WriteProcessMemory(process_, remote_, header, header_, nullptr);
    }
    void WriteText(const std::wstring& text) const {
        WriteProcessMemory(process_, this->text(), text.c_str(),
                           std::min(text.size() + 1, kText) * sizeof(wchar_t), nullptr);
    }
    void Read(void* header) const { ReadProcessMemory(process_, remote_, header, header_, nullptr); }
    std::string Text() const {
        std::vector<wchar_t> text(kText, L'\0');
        ReadProcessMemory(process_, this->text(), text.data(), (kText - 1) * sizeof(wchar_t), nullptr);
        return Utf8(text.data());
    }

private:
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;
    size_t header_;
};

// The rows of a list view (first column).
void PrintRows(HWND list) {
    const RemoteBuffer buffer(list, sizeof(LVITEMW));
    if (!buffer.ok()) return;
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count && row < 1000; ++row) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = buffer.text();
        item.cchTextMax = static_cast<int>(RemoteBuffer::kText);
        buffer.Write(&item);
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), buffer.address());
        std::printf("row\t%s\n", buffer.Text().c_str());
    }
}

// The visible items of a tree view, in order; the selected one is marked.
void PrintTreeItems(HWND tree) {
    const RemoteBuffer buffer(tree, sizeof(TVITEMW));
    if (!buffer.ok()) return;
    auto next = [tree](LPARAM item, WPARAM how) {
        return SendMessageW(tree, TVM_GETNEXTITEM, how, item);
    };
    int shown = 0;
    for (LPARAM item = next(0, TVGN_FIRSTVISIBLE); item && shown < 1000;
         item = next(item, TVGN_NEXTVISIBLE), ++shown) {
        TVITEMW data{};
        data.mask = TVIF_TEXT | TVIF_STATE;
        data.hItem = reinterpret_cast<HTREEITEM>(item);
        data.stateMask = TVIS_SELECTED;
        data.pszText = buffer.text();
        data.cchTextMax = static_cast<int>(RemoteBuffer::kText);
        buffer.Write(&data);
        SendMessageW(tree, TVM_GETITEMW, 0, buffer.address());
        buffer.Read(&data);
        std::printf("row\t%s%s\n", buffer.Text().c_str(),
                    (data.state & TVIS_SELECTED) ? "\tselected" : "");
    }
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
    if (std::wstring(cls) == WC_TREEVIEWW) PrintTreeItems(window);
    return TRUE;
}

// Where a module loaded in both processes has its base in the program's.
char* RemoteBase(DWORD pid, HMODULE local) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(local, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\') ? wcsrchr(path, L'\\') + 1 : path;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    char* base = nullptr;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !base;
         more = Module32NextW(snapshot, &module))
        if (_wcsicmp(module.szModule, name) == 0) base = reinterpret_cast<char*>(module.modBaseAddr);
    CloseHandle(snapshot);
    return base;
}

// Runs the function at address in the program's process on argument and
// returns its result (~0u if it could not run).
DWORD RunThere(HANDLE process, char* address, void* argument) {
    if (!address) return ~0u;
    HANDLE thread = CreateRemoteThread(process, nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(address), argument,
                                       0, nullptr);
    if (!thread) return ~0u;
    DWORD result = ~0u;
    if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0) GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return result;
}

// The address in the program's process of a function of a module loaded here
// and there: the same distance from the module's base.
char* There(char* remoteBase, HMODULE local, const char* function) {
    auto* here = reinterpret_cast<char*>(GetProcAddress(local, function));
    return remoteBase && here ? remoteBase + (here - reinterpret_cast<char*>(local)) : nullptr;
}

// The window's menu bar, read by menu_reader.dll (beside this program)
// loaded into the window's process, and unloaded again.
int PrintMenuBar(HWND window) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dll = self;
    dll.replace(dll.rfind(L'\\') + 1, std::wstring::npos, L"menu_reader.dll");
    HMODULE local = LoadLibraryW(dll.c_str());
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const RemoteBuffer buffer(window, sizeof(MenuRequest));
    if (!local || !buffer.ok()) {
        std::fprintf(stderr, "window_reader: cannot reach the window's process\n");
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    buffer.WriteText(dll);
    RunThere(buffer.process(), There(RemoteBase(pid, kernel), kernel, "LoadLibraryW"),
             buffer.text());
    char* remoteDll = RemoteBase(pid, local);

    MenuRequest request{window, {}};
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"mnu", 0, request.output);
    buffer.Write(&request);
    const DWORD read = RunThere(buffer.process(), There(remoteDll, local, "ReadMenus"),
                                reinterpret_cast<void*>(buffer.address()));
    RunThere(buffer.process(), There(RemoteBase(pid, kernel), kernel, "FreeLibrary"), remoteDll);

    std::ifstream in(request.output, std::ios::binary);
    const std::string lines{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    DeleteFileW(request.output);
    if (read != 0) {
        std::fprintf(stderr, read == 1 ? "window_reader: the window has no menu bar\n"
                                       : "window_reader: the menus could not be read\n");
        return 1;
    }
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return 0;
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool tabOnly = argc == 3 && std::wstring(argv[1]) == L"--tab";
    const bool menus = argc == 3 && std::wstring(argv[1]) == L"--menus";
    if (argc != 2 && !tabOnly && !menus) {
        std::fprintf(stderr, "usage: window_reader [--tab | --menus] TITLE_START\n");
        return 2;
    }
    Found found{argv[argc - 1]};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&found));
    if (!found.window) {
        std::fprintf(stderr, "window_reader: no window whose title starts so\n");
        return 1;
    }
    if (menus) return PrintMenuBar(found.window);
    CoInitialize(nullptr);
    std::printf("window\t%s\n", Utf8(TextOf(found.window)).c_str());
    EnumChildWindows(found.window, PrintChild, tabOnly);
    return 0;
}
