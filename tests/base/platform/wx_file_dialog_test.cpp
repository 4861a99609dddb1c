// The toolkit's file dialog: the executables filter lists files by their
// execute permission, not by a ".exe" name.
#include "base/platform/file_dialog.h"
#include "base/platform/gui/wx_services.h"
#include "base/resources/strings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct FilterCheck {
    std::string folder;
    bool done = false;
    int filters = 0;
    std::string name;
    bool runnableShown = false;
    bool dataExeShown = true;
};

bool Passes(GtkFileFilter* filter, const std::string& path) {
    GtkFileFilterInfo info{};
    info.contains = GTK_FILE_FILTER_FILENAME;
    info.filename = path.c_str();
    return gtk_file_filter_filter(filter, &info);
}

gboolean CheckChooser(gpointer data) {
    auto* check = static_cast<FilterCheck*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
        if (!GTK_IS_FILE_CHOOSER_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data)))
            continue;
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(w->data);
        GSList* filters = gtk_file_chooser_list_filters(chooser);
        check->filters = static_cast<int>(g_slist_length(filters));
        g_slist_free(filters);
        GtkFileFilter* current = gtk_file_chooser_get_filter(chooser);
        if (current) {
            const char* name = gtk_file_filter_get_name(current);
            check->name = name ? name : "";
            check->runnableShown = Passes(current, check->folder + "/tool");
            check->dataExeShown = Passes(current, check->folder + "/data.exe");
        }
        check->done = true;
        gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_CANCEL);
        break;
    }
    g_list_free(windows);
    return check->done ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

// Shows an open dialog on a fresh folder with the files given (name and
// mode) and cancels it; what its filters did.
FilterCheck ShowAndCancel(const std::vector<std::pair<std::string, mode_t>>& files,
                          const char* filter, const std::string& initial, unsigned options) {
    char pattern[] = "/tmp/sd_filedlg_XXXXXX";
    FilterCheck check;
    if (!mkdtemp(pattern)) return check;
    check.folder = pattern;
    for (const auto& [name, mode] : files) {
        std::ofstream(check.folder + "/" + name) << "#!/bin/sh\n";
        chmod((check.folder + "/" + name).c_str(), mode);
    }
    platform::InstallWxFileDialogs();
    g_timeout_add(50, CheckChooser, &check);
    EXPECT_FALSE(
        platform::ShowOpenFileDialog(nullptr, "", filter, check.folder + "/" + initial, options));
    platform::SetFileDialogHandler(nullptr);
    std::filesystem::remove_all(check.folder);
    return check;
}

TEST(WxFileDialog, ExecutableFilterListsRunnableFiles) {
    const FilterCheck check =
        ShowAndCancel({{"tool", 0755}, {"data.exe", 0644}}, text::kExeFilter, "",
                      platform::kFileMustExist | platform::kExecutableFilter);
    ASSERT_TRUE(check.done);
    EXPECT_EQ(check.filters, 2);
    EXPECT_EQ(check.name, "Programs you can run");
    EXPECT_TRUE(check.runnableShown);
    EXPECT_FALSE(check.dataExeShown);
}

// The first filter stays selected when the remembered file does not match
// it (the upgrade commands remember a ".bin" image as well as a ".hex" file).
TEST(WxFileDialog, FirstFilterStaysForAnotherKindOfFile) {
    const FilterCheck check =
        ShowAndCancel({{"code.bin", 0644}}, "Intel Hex File(*.hex)\n*.hex\nAll Files(*.*)\n*.*\n\n",
                      "code.bin", platform::kFileMustExist);
    ASSERT_TRUE(check.done);
    EXPECT_EQ(check.name, "Intel Hex File(*.hex)");
}

} // namespace
