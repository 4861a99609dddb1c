// Open and save dialogs shown with wxFileDialog.
#include "base/platform/file_dialog.h"
#include "base/platform/gui/box_help_key.h"
#include "base/platform/gui/wx_services.h"
#include "base/platform/path_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtk/gtk.h>
#include <wx/filedlg.h>
#include <wx/window.h>

namespace platform {

namespace {

// A file the user may run: a regular file with execute permission for them.
gboolean IsRunnable(const GtkFileFilterInfo* info, gpointer) {
    struct stat st;
    return info->filename && stat(info->filename, &st) == 0 && S_ISREG(st.st_mode) &&
           access(info->filename, X_OK) == 0;
}

// Makes the chooser's first filter list runnable files instead of matching
// its pattern (a ".exe" pattern means nothing here). The order of the
// filters stays, so that the toolkit's filter index still fits.
void ListRunnableFilesFirst(wxFileDialog& dialog) {
    GtkWidget* widget = static_cast<GtkWidget*>(dialog.GetHandle());
    if (!widget || !GTK_IS_FILE_CHOOSER(widget)) return;
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(widget);
    GSList* filters = gtk_file_chooser_list_filters(chooser);
    if (!filters) return;
    GtkFileFilter* runnable = gtk_file_filter_new();
    gtk_file_filter_set_name(runnable, gtk_file_filter_get_name(GTK_FILE_FILTER(filters->data)));
    gtk_file_filter_add_custom(runnable, GTK_FILE_FILTER_FILENAME, IsRunnable, nullptr, nullptr);
    for (GSList* f = filters; f; f = f->next) {
        g_object_ref(f->data);
        gtk_file_chooser_remove_filter(chooser, GTK_FILE_FILTER(f->data));
    }
    gtk_file_chooser_add_filter(chooser, runnable);
    for (GSList* f = filters->next; f; f = f->next)
        gtk_file_chooser_add_filter(chooser, GTK_FILE_FILTER(f->data));
    gtk_file_chooser_set_filter(chooser, runnable);
    for (GSList* f = filters; f; f = f->next)
        g_object_unref(f->data);
    g_slist_free(filters);
}

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
    // The chooser's name field holds UTF-8 text only (it stops answering when
    // given other bytes): a name that is not UTF-8 is offered as it displays.
    if (const std::string bytes = PathFromText(name); !g_utf8_validate(bytes.data(), -1, nullptr)) {
        gchar* shown = g_utf8_make_valid(bytes.data(), -1);
        name = wxString::FromUTF8(shown);
        g_free(shown);
    }
    const wxString title = request.title.empty() ? wxString(wxFileSelectorPromptStr)
                                                 : wxString::FromUTF8(request.title);
    wxString wildcard = wxString::FromUTF8(FilterToWildcard(request.filter));
    if (wildcard.empty()) wildcard = wxFileSelectorDefaultWildcardStr;

    wxFileDialog dialog(static_cast<wxWindow*>(request.owner), title, folder, name, wildcard,
                        style);
    if (request.options & kExecutableFilter) ListRunnableFilesFirst(dialog);
    const BoxHelpKey help(wxWindow::FindFocus() ? wxWindow::FindFocus()
                                                : static_cast<wxWindow*>(request.owner));
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    // The toolkit converts the chooser's file name strictly and gives an
    // empty path for one that is not UTF-8; the chooser has the bytes.
    if (gchar* bytes = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog.GetHandle()))) {
        std::string path(bytes);
        g_free(bytes);
        return path;
    }
    return PathFromText(dialog.GetPath());
}

} // namespace

void InstallWxFileDialogs() {
    SetFileDialogHandler(ShowWxFileDialog);
}

} // namespace platform
