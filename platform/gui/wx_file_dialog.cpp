// Open and save dialogs shown with wxFileDialog.
#include "platform/file_dialog.h"
#include "platform/gui/wx_services.h"

#include <wx/filedlg.h>
#include <wx/window.h>

namespace platform {

namespace {

std::optional<std::string> ShowWxFileDialog(const FileDialogRequest& request) {
    long style = request.save ? wxFD_SAVE : wxFD_OPEN;
    // wxFileDialog accepts "must exist" only when opening and "overwrite
    // prompt" only when saving.
    if (!request.save && (request.options & kFileMustExist)) style |= wxFD_FILE_MUST_EXIST;
    if (request.save && (request.options & kOverwritePrompt)) style |= wxFD_OVERWRITE_PROMPT;

    wxString folder, name = wxString::FromUTF8(request.initialPath);
    if (const auto slash = request.initialPath.find_last_of('/'); slash != std::string::npos) {
        folder = wxString::FromUTF8(request.initialPath.substr(0, slash == 0 ? 1 : slash));
        name = wxString::FromUTF8(request.initialPath.substr(slash + 1));
    }
    const wxString title = request.title.empty() ? wxString(wxFileSelectorPromptStr)
                                                 : wxString::FromUTF8(request.title);
    wxString wildcard = wxString::FromUTF8(FilterToWildcard(request.filter));
    if (wildcard.empty()) wildcard = wxFileSelectorDefaultWildcardStr;

    wxFileDialog dialog(static_cast<wxWindow*>(request.owner), title, folder, name, wildcard,
                        style);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

} // namespace

void InstallWxFileDialogs() {
    SetFileDialogHandler(ShowWxFileDialog);
}

} // namespace platform
