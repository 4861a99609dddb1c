// Loaded by window_reader into the process of the program it reads: writes
// the menu bar of one of its windows, as that process sees it. Wine keeps
// menus in the process that made them, so no other process reads them there;
// a screen reader's helper inside the program reads them so.
// The lines, each item with the titles of the menus it lies in:
//   menu<TAB>TITLE                       (a menu bar title)
//   item<TAB>TITLE[<TAB>SUBMENU...]<TAB>TEXT
#include "menu_request.h"

#include <cstdio>

namespace {

// The text of a menu's item at a position, as the menu shows it.
std::wstring MenuText(HMENU menu, int at) {
    wchar_t text[512] = {};
    GetMenuStringW(menu, static_cast<UINT>(at), text, 512, MF_BYPOSITION);
    return text;
}

// Every item of menu, below the titles of path, and each submenu's items.
void PrintMenu(FILE* out, HMENU menu, const std::string& path) {
    const int count = GetMenuItemCount(menu);
    for (int at = 0; at < count; ++at) {
        if (GetMenuState(menu, static_cast<UINT>(at), MF_BYPOSITION) & MF_SEPARATOR) continue;
        const std::string text = Utf8(MenuText(menu, at));
        std::fprintf(out, "item\t%s\t%s\n", path.c_str(), text.c_str());
        if (HMENU sub = GetSubMenu(menu, at)) PrintMenu(out, sub, path + "\t" + text);
    }
}

} // namespace

// Returns 0, or 1 if the window has no menu bar, 2 if the file cannot be
// written.
extern "C" __declspec(dllexport) DWORD WINAPI ReadMenus(void* data) {
    const auto* request = static_cast<const MenuRequest*>(data);
    HMENU bar = GetMenu(request->window);
    const int count = bar ? GetMenuItemCount(bar) : -1;
    if (count <= 0) return 1;
    FILE* out = _wfopen(request->output, L"wb");
    if (!out) return 2;
    for (int at = 0; at < count; ++at)
        std::fprintf(out, "menu\t%s\n", Utf8(MenuText(bar, at)).c_str());
    for (int at = 0; at < count; ++at)
        if (HMENU sub = GetSubMenu(bar, at)) PrintMenu(out, sub, Utf8(MenuText(bar, at)));
    std::fclose(out);
    return 0;
}
