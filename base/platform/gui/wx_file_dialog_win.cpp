// Open and save dialogs: the system's own, through wxFileDialog. Paths are
// UTF-8 text on Windows, so they go in and come out as the toolkit's text.
#include "base/platform/file_dialog.h"
#include "base/platform/gui/box_help_key.h"
#include "base/platform/gui/wx_services.h"

#include <wx/filedlg.h>
#include <wx/window.h>

namespace platform {

namespace {

// A filter of programs means the Windows program kinds.
std::string ProgramWildcard(const std::string& wildcard) {
    const auto bar = wildcard.find('|');
    if (bar == std::string::npos) return wildcard;
    const auto next = wildcard.find('|', bar + 1);
    const std::string rest = next == std::string::npos ? "" : wildcard.substr(next);
    return wildcard.substr(0, bar) + "|*.exe;*.com;*.bat;*.cmd" + rest;
}

std::optional<std::string> ShowWxFileDialog(const FileDialogRequest& request) {
    long style = request.save ? wxFD_SAVE : wxFD_OPEN;
    if (!request.save && (request.options & kFileMustExist)) style |= wxFD_FILE_MUST_EXIST;
    if (request.save && (request.options & kOverwritePrompt)) style |= wxFD_OVERWRITE_PROMPT;

    std::string folder, name = request.initialPath;
    if (const auto slash = request.initialPath.find_last_of("/\\"); slash != std::string::npos) {
        folder = request.initialPath.substr(0, slash == 0 ? 1 : slash);
        // "C:" alone is the drive's current folder: its root is meant.
        if (folder.size() == 2 && folder[1] == ':') folder += '/';
        name = request.initialPath.substr(slash + 1);
    }
    const wxString title = request.title.empty() ? wxString(wxFileSelectorPromptStr)
                                                 : wxString::FromUTF8(request.title);
    std::string wildcard = FilterToWildcard(request.filter);
    if (request.options & kExecutableFilter) wildcard = ProgramWildcard(wildcard);
    wxFileDialog dialog(static_cast<wxWindow*>(request.owner), title, wxString::FromUTF8(folder),
                        wxString::FromUTF8(name),
                        wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr)
                                         : wxString::FromUTF8(wildcard),
                        style);
    const BoxHelpKey help(wxWindow::FindFocus() ? wxWindow::FindFocus()
                                                : static_cast<wxWindow*>(request.owner));
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    std::string path = dialog.GetPath().utf8_string();
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

void InstallWxFileDialogs() {
    SetFileDialogHandler(ShowWxFileDialog);
}

} // namespace platform
