#pragma once
// PC paths for a library that opens files through the system's "ANSI"
// functions, as the 32-bit device library does. On Windows such a library
// takes paths in the ANSI code page (GetACP()); a path that code page cannot
// hold goes by its short (8.3) name, or, for a file still to be written, by
// a temporary name in its folder that is renamed once the file is there.
// Elsewhere a path keeps its bytes.
#include <string>

namespace platform {

// How the library uses the path.
enum class AnsiUse {
    kRead,      // it reads an existing file
    kReadNamed, // the same, and the file's name matters (it names the player's copy)
    kWrite,     // it creates or replaces the file
};

class AnsiPath {
public:
    AnsiPath(const std::string& path, AnsiUse use);
    ~AnsiPath(); // removes what the library wrote under a temporary name, unless Finish moved it
    AnsiPath(const AnsiPath&) = delete;
    AnsiPath& operator=(const AnsiPath&) = delete;

    // False when neither the code page nor a short name can give the path.
    bool Ok() const { return ok_; }
    // The path as the library takes it.
    const char* Bytes() const { return bytes_.c_str(); }
    // The same, as the kit's text (UTF-8): what the library's messages name.
    const std::string& Text() const { return text_; }
    // After the library wrote the file: moves it from its temporary name to
    // the path asked for. 0, or an error number.
    int Finish();

private:
    bool ok_ = true;
    std::string bytes_;
    std::string text_;
    std::string temporary_; // the temporary name the library writes, as text
    std::string wanted_;    // the path asked for, when a temporary stands in
};

// A path a caller passed in the ANSI code page, as the kit's text.
std::string TextFromAnsiPath(const char* bytes);

} // namespace platform
