// Open and save dialogs shown with wxFileDialog.
#include "platform/file_dialog.h"
#include "platform/gui/wx_services.h"
#include "platform/path_text.h"

#include <wx/filedlg.h>
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif
#include <wx/window.h>

namespace platform {

namespace {

std::optional<std::string> ShowWxFileDialog(const FileDialogRequest& request) {
    long style = request.save ? wxFD_SAVE : wxFD_OPEN;
    // wxFileDialog accepts "must exist" only when opening and "overwrite
    // prompt" only when saving.
    if (!request.save && (request.options & kFileMustExist)) style |= wxFD_FILE_MUST_EXIST;
    if (request.save && (request.options & kOverwritePrompt)) style |= wxFD_OVERWRITE_PROMPT;

    // Paths go in and come out as bytes.
    wxString folder, name = PathToText(request.initialPath);
    if (const auto slash = request.initialPath.find_last_of('/'); slash != std::string::npos) {
        folder = PathToText(request.initialPath.substr(0, slash == 0 ? 1 : slash));
        name = PathToText(request.initialPath.substr(slash + 1));
    }
#ifdef __WXGTK__
    // The chooser's name field holds UTF-8 text only (it stops answering when
    // given other bytes): a name that is not UTF-8 is offered as it displays.
    if (const std::string bytes = PathFromText(name); !g_utf8_validate(bytes.data(), -1, nullptr)) {
        gchar* shown = g_utf8_make_valid(bytes.data(), -1);
        name = wxString::FromUTF8(shown);
        g_free(shown);
    }
#endif
    const wxString title = request.title.empty() ? wxString(wxFileSelectorPromptStr)
                                                 : wxString::FromUTF8(request.title);
    wxString wildcard = wxString::FromUTF8(FilterToWildcard(request.filter));
    if (wildcard.empty()) wildcard = wxFileSelectorDefaultWildcardStr;

    wxFileDialog dialog(static_cast<wxWindow*>(request.owner), title, folder, name, wildcard,
                        style);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
#ifdef __WXGTK__
    // The toolkit converts the chooser's file name strictly and gives an
    // empty path for one that is not UTF-8; the chooser has the bytes.
    if (gchar* bytes = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog.GetHandle()))) {
        std::string path(bytes);
        g_free(bytes);
        return path;
    }
#endif
    return PathFromText(dialog.GetPath());
}

} // namespace

void InstallWxFileDialogs() {
    SetFileDialogHandler(ShowWxFileDialog);
}

} // namespace platform
