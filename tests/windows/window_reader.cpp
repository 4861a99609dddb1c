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
// windows; a screen reader reads them through the menu itself), an item a
// line, each with the titles of the menus it lies in:
//   menu<TAB>TITLE                       (a menu bar title)
//   item<TAB>TITLE[<TAB>SUBMENU...]<TAB>TEXT
// Exit 1 if no such window (or menu bar) exists.
// Usage: window_reader [--tab | --menus] TITLE_START
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

// A buffer in another process's memory: a control of that process writes
// what it is asked for there (an item structure, then its text).
class RemoteBuffer {
public:
    static constexpr size_t kText = 520;

    RemoteBuffer(HWND control, size_t header) : header_(header) {
        DWORD pid = 0;
        GetWindowThreadProcessId(control, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
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
    LPARAM address() const { return reinterpret_cast<LPARAM>(remote_); }
    wchar_t* text() const {
        return reinterpret_cast<wchar_t*>(static_cast<char*>(remote_) + header_);
    }
    void Write(const void* header) const {
        WriteProcessMemory(process_, remote_, header, header_, nullptr);
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

// The text of a menu's item at a position, as the menu shows it.
std::wstring MenuText(HMENU menu, int at) {
    wchar_t text[512] = {};
    GetMenuStringW(menu, static_cast<UINT>(at), text, 512, MF_BYPOSITION);
    return text;
}

// Every item of menu, below the titles of path, and each submenu's items.
void PrintMenu(HMENU menu, const std::string& path) {
    const int count = GetMenuItemCount(menu);
    for (int at = 0; at < count; ++at) {
        if (GetMenuState(menu, static_cast<UINT>(at), MF_BYPOSITION) & MF_SEPARATOR) continue;
        const std::string text = Utf8(MenuText(menu, at));
        std::printf("item\t%s\t%s\n", path.c_str(), text.c_str());
        if (HMENU sub = GetSubMenu(menu, at)) PrintMenu(sub, path + "\t" + text);
    }
}

int PrintMenuBar(HWND window) {
    HMENU bar = GetMenu(window);
    const int count = bar ? GetMenuItemCount(bar) : -1;
    if (count <= 0) {
        std::fprintf(stderr, "window_reader: the window has no menu bar\n");
        return 1;
    }
    for (int at = 0; at < count; ++at)
        std::printf("menu\t%s\n", Utf8(MenuText(bar, at)).c_str());
    for (int at = 0; at < count; ++at)
        if (HMENU sub = GetSubMenu(bar, at)) PrintMenu(sub, Utf8(MenuText(bar, at)));
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
