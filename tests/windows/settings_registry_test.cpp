// Run under Wine: Songdock's settings in the registry. Sections are subkeys
// of HKCU\Software\<company>\Songdock and the empty section is that key's own
// values; integers are REG_DWORD and texts REG_SZ; a missing value, or one
// of another type, reads as its default without disturbing the others.
#include "lib/settings/settings_store.h"

#include "base/platform/wide_text.h"
#include "wine_check.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using wine_check::Check;

const wchar_t* kApp = L"Software\\SongdockTest\\Songdock";

// The stored type of a value (REG_NONE when missing).
DWORD TypeOf(const std::wstring& key, const wchar_t* name) {
    DWORD type = REG_NONE;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     nullptr) != ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

void Set(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(k);
    }
}

} // namespace

int main() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\SongdockTest");
    settings::SetCompanyKey("SongdockTest");
    Check(settings::ProfilePath() == "HKEY_CURRENT_USER\\Software\\SongdockTest\\Songdock",
          "the store is named by its registry key");

    // Nothing stored yet: every value is its default.
    Check(settings::GetWindowState() == settings::kDefaultWindowState, "a missing number reads as its default");
    Check(settings::GetText("Songdock", "FontName", "none") == "none", "a missing text reads as its default");
    Check(!settings::GetWindowPlace(), "no window place before one is written");

    // The empty section is the application key's own values; a section is a subkey.
    Check(settings::WriteWindowState(3), "a number is written");
    Check(TypeOf(kApp, L"WindowState") == REG_DWORD, "numbers are REG_DWORD on the application key");
    settings::Timeouts t;
    t.receive = 12345;
    t.send = -7;
    Check(settings::WriteTimeouts(t), "the time-outs are written");
    Check(TypeOf(std::wstring(kApp) + L"\\KDS520", L"TIMEOUT_RECV") == REG_DWORD,
          "a section's numbers are REG_DWORD in its subkey");
    const settings::Timeouts back = settings::GetTimeouts();
    Check(back.receive == 12345 && back.send == -7 && back.format == settings::kDefaultTimeoutFormat,
          "the time-outs read back, negative ones too");

    // Texts are REG_SZ and keep every character.
    const std::string korean = "C:/\xEC\x9D\x8C\xEC\x95\x85/\xEB\x85\xB8\xEB\x9E\x98";
    Check(settings::WriteText("Desktop", "LastDirectory", korean), "a text is written");
    Check(TypeOf(std::wstring(kApp) + L"\\Desktop", L"LastDirectory") == REG_SZ, "texts are REG_SZ");
    Check(settings::GetText("Desktop", "LastDirectory", "") == korean, "a Korean text reads back whole");

    // A value of the wrong type reads as the default; the others still read.
    const wchar_t notANumber[] = L"12";
    Set(std::wstring(kApp) + L"\\KDS520", L"TIMEOUT_SEND", REG_SZ, notANumber, sizeof notANumber);
    const DWORD number = 5;
    Set(std::wstring(kApp) + L"\\Desktop", L"FileListFilter", REG_DWORD, &number, sizeof number);
    Check(settings::GetTimeouts().send == settings::kDefaultTimeoutSend,
          "a time-out stored as text reads as its default");
    Check(settings::GetTimeouts().receive == 12345, "and the other time-outs still read");
    Check(settings::GetText("Desktop", "FileListFilter", "*.*") == "*.*",
          "a text stored as a number reads as its default");
    const unsigned char shortNumber[2] = {1, 2};
    Set(kApp, L"WindowState", REG_BINARY, shortNumber, sizeof shortNumber);
    Check(settings::GetWindowState() == settings::kDefaultWindowState,
          "a number stored as bytes reads as its default");

    // Writing over a mistyped value stores the right type.
    Check(settings::WriteTimeouts(t) &&
              TypeOf(std::wstring(kApp) + L"\\KDS520", L"TIMEOUT_SEND") == REG_DWORD,
          "a write replaces the mistyped value");

    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\SongdockTest");
    if (wine_check::failures == 0) std::printf("settings in the registry: all checks passed\n");
    return wine_check::Status();
}
