// What every implementation of the shell information shares: the stand-in
// for tests, the "<EXT> File" type names and the one in use.
#include "base/platform/gui/shell_info.h"
#include "base/resources/strings.h"

#include <wx/image.h>

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

std::string LastName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::unique_ptr<ShellInfo>& Installed() {
    static std::unique_ptr<ShellInfo> info = NewSystemShellInfo();
    return info;
}

} // namespace

std::string ExtensionTypeName(const std::string& key) {
    if (!key.starts_with('.')) return strings::Tr("File");
    std::string ext = key.substr(1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return wxString::Format(wxString::FromUTF8(strings::Tr("%s File")), wxString::FromUTF8(ext))
        .utf8_string();
}

std::string StubShellInfo::TypeName(const std::string& path, bool isDirectory) {
    ++typeNameCalls;
    if (isDirectory) return strings::Tr("Folder");
    const std::string name = LastName(path);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "File";
    return ExtensionTypeName(name.substr(dot));
}

wxBitmap StubShellInfo::Icon(const std::string&, bool isDirectory, int size) {
    ++iconCalls;
    wxImage image(size, size);
    image.SetRGB(wxRect(0, 0, size, size), isDirectory ? 200 : 80, 160, isDirectory ? 60 : 220);
    return wxBitmap(image);
}

ShellInfo& CurrentShellInfo() {
    return *Installed();
}

std::unique_ptr<ShellInfo> SetShellInfo(std::unique_ptr<ShellInfo> info) {
    std::unique_ptr<ShellInfo> old = std::move(Installed());
    Installed() = info ? std::move(info) : NewSystemShellInfo();
    return old;
}

} // namespace platform
