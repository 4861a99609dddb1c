#pragma once
// Libraries loaded at run time: opening one by path, finding its functions,
// closing it. On Windows a function is also found by the names a compiler
// gives it under the stdcall convention ("_Name@8", "Name@8").

#include <string>

namespace platform {

// The library's file name on this system for a base name: "libNAME.so" or
// "NAME.dll".
std::string LibraryFileName(const std::string& posixName, const std::string& windowsName);

// Loads the library at path (or by the system's search when path has no
// folder). Returns its handle, or nullptr with error set to why.
void* OpenLibrary(const std::string& path, std::string& error);
// The address of the exported function name, or nullptr.
void* LibraryFunction(void* library, const char* name);
void CloseLibrary(void* library);

} // namespace platform
