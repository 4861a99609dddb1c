// File dialogs through wxFileDialog, accepted from a GLib timeout while the
// dialog runs.
#include "base/platform/file_dialog.h"
#include "base/platform/gui/wx_services.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>

namespace {

// Accepts the visible file chooser once it names a file (it does so only
// after reading its folder); tries again while one is shown.
gboolean AcceptVisibleChooser(gpointer data) {
    auto* accepted = static_cast<int*>(data);
    bool shown = false;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
        if (!GTK_IS_FILE_CHOOSER_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data)))
            continue;
        shown = true;
        gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(w->data));
        if (name) {
            ++*accepted;
            gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_ACCEPT);
        }
        g_free(name);
        break;
    }
    g_list_free(windows);
    return shown || *accepted == 0 ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

// Shows a save dialog for initialPath and accepts what it offers.
std::optional<std::string> AcceptSaveDialog(const std::string& initialPath) {
    int accepted = 0;
    g_timeout_add(300, AcceptVisibleChooser, &accepted);
    auto chosen =
        platform::ShowSaveFileDialog(nullptr, "Save", "Data File(*.dat)\n*.dat\n\n", initialPath);
    EXPECT_GT(accepted, 0);
    return chosen;
}

TEST(WxFileDialog, AFolderThatIsNotUtf8KeepsItsBytes) {
    platform::InstallWxFileDialogs();
    testenv::ScratchDir dir;
    const std::string folder = dir / "M\xfasica";
    std::filesystem::create_directory(folder);
    EXPECT_EQ(AcceptSaveDialog(folder + "/raw data.dat"), folder + "/raw data.dat");
    // The name field takes only UTF-8: a name of other bytes is offered as it
    // displays, and the folder still keeps its bytes.
    EXPECT_EQ(AcceptSaveDialog(folder + "/raw \xe9.dat"), folder + "/raw \xef\xbf\xbd.dat");
    platform::SetFileDialogHandler(nullptr);
}

} // namespace
