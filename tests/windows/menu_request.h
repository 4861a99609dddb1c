#pragma once
// What window_reader asks of menu_reader.dll, which it loads into the
// program's process to read a window's menu bar there; and the UTF-8 both
// print.
#include <windows.h>

#include <string>

// Written into the program's memory; ReadMenus(request) writes the menu bar
// of window, as lines of UTF-8, to the file output.
struct MenuRequest {
    HWND window;
    wchar_t output[MAX_PATH];
};

inline std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}
