#pragma once
// Icons and type names of files, in place of the shell's file information:
// the desktop's content types (GIO) and the GTK icon theme, cached per
// extension. A stub stands in for tests.
#include <wx/bitmap.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace platform {

// File icons and type names for the file lists.
class ShellInfo {
public:
    virtual ~ShellInfo() = default;
    // The type name to show for the file ("MP3 audio", "Folder").
    virtual std::string TypeName(const std::string& path, bool isDirectory) = 0;
    // The file's icon, size × size pixels (16 or 32); an invalid bitmap when
    // the theme has none.
    virtual wxBitmap Icon(const std::string& path, bool isDirectory, int size) = 0;
};

// The implementation over GIO content types and the GTK icon theme. Files are
// told apart by extension (letter case ignored); folders and extensionless
// executables have their own entries.
class GioShellInfo : public ShellInfo {
public:
    std::string TypeName(const std::string& path, bool isDirectory) override;
    wxBitmap Icon(const std::string& path, bool isDirectory, int size) override;
    // How many different kinds have been looked up (for tests of the cache).
    size_t CachedKinds() const { return types_.size(); }

private:
    struct Kind {
        std::string contentType;
        std::string typeName;
    };
    const Kind& Lookup(const std::string& path, bool isDirectory);

    std::map<std::string, Kind> types_;                     // by key of KindKey
    std::map<std::pair<std::string, int>, wxBitmap> icons_; // by content type and size
};

#ifdef _WIN32
// The implementation over the shell's file information (SHGetFileInfoW),
// cached per kind as above; folders have their own entry.
class WinShellInfo : public ShellInfo {
public:
    std::string TypeName(const std::string& path, bool isDirectory) override;
    wxBitmap Icon(const std::string& path, bool isDirectory, int size) override;

private:
    std::map<std::string, std::string> types_;                  // by key of ShellKindKey
    std::map<std::pair<std::string, int>, wxBitmap> icons_; // by key and size
};
#endif

// A stand-in for tests: "Folder", or "<EXT> File" / "File", and a plain
// square icon; counts the calls.
class StubShellInfo : public ShellInfo {
public:
    std::string TypeName(const std::string& path, bool isDirectory) override;
    wxBitmap Icon(const std::string& path, bool isDirectory, int size) override;
    int typeNameCalls = 0;
    int iconCalls = 0;
};

// The shell information in use (a GioShellInfo, on Windows a WinShellInfo,
// unless another is installed).
ShellInfo& CurrentShellInfo();
// Installs an implementation (nullptr restores the system's); returns the old one.
std::unique_ptr<ShellInfo> SetShellInfo(std::unique_ptr<ShellInfo> info);

// A new instance of the system's implementation.
std::unique_ptr<ShellInfo> NewSystemShellInfo();
// The type name of a kind the system does not name: "<EXT> File" for a key
// such as ".qka", "File" for one without an extension.
std::string ExtensionTypeName(const std::string& key);

// The key under which a file's kind is cached: "/folder", "/executable"
// (only for a full path to an executable file), or the extension in lower
// case with its dot (".mp3"; "" for none).
std::string ShellKindKey(const std::string& path, bool isDirectory);

} // namespace platform
