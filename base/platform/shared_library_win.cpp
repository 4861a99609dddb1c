#include "base/platform/shared_library.h"

#include "base/platform/wide_text.h"

#include <windows.h>

#include <cstring>

namespace platform {

namespace {

// Whether exported is name with a stdcall decoration: an optional leading
// "_" and "@" followed by the argument bytes.
bool DecoratedName(const char* exported, const char* name) {
    if (*exported == '_') ++exported;
    const size_t length = std::strlen(name);
    if (std::strncmp(exported, name, length) != 0 || exported[length] != '@') return false;
    const char* digits = exported + length + 1;
    if (!*digits) return false;
    for (; *digits; ++digits)
        if (*digits < '0' || *digits > '9') return false;
    return true;
}

// Looks through the module's export table for a decorated form of name: the
// argument bytes in it depend on the function's parameters, which the caller
// need not know.
void* DecoratedFunction(HMODULE module, const char* name) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 || directory.Size == 0) return nullptr;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const char* exported = reinterpret_cast<const char*>(base + names[i]);
        if (DecoratedName(exported, name))
            return reinterpret_cast<void*>(GetProcAddress(module, exported));
    }
    return nullptr;
}

} // namespace

std::string LibraryFileName(const std::string&, const std::string& windowsName) {
    return windowsName;
}

void* OpenLibrary(const std::string& path, std::string& error) {
    // No message box for a library that is missing or of the wrong width.
    const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryExW(WideText(path).c_str(), nullptr,
                                     path.find_first_of("/\\") == std::string::npos
                                         ? 0
                                         : LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = GetLastError();
    SetErrorMode(mode);
    if (!library) {
        wchar_t* text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::string why = text ? Utf8Text(text) : "";
        if (text) LocalFree(text);
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == ' '))
            why.pop_back();
        error = path + ": " + (why.empty() ? "error " + std::to_string(code) : why);
    }
    return library;
}

void* LibraryFunction(void* library, const char* name) {
    const auto module = static_cast<HMODULE>(library);
    if (FARPROC plain = GetProcAddress(module, name)) return reinterpret_cast<void*>(plain);
    return DecoratedFunction(module, name);
}

void CloseLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

} // namespace platform
