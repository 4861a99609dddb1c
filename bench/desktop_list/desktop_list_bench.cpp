// Times the desktop view listing a folder: the first listing (type names
// and icons looked up), the second, and the resident memory across 100
// more. Prints "first_ms second_ms rss_growth_kb".
// Usage: desktop_list_bench FOLDER
#include "views/desktop/desktop_view.h"
#include "views/desktop/folder_combo.h"
#include "base/platform/paths.h"
#include "lib/settings/settings_store.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

namespace {

long ResidentKb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Lists the folder and paints the list; returns the milliseconds taken.
double ListOnce(HDesktopView* view, const std::string& folder) {
    const auto start = std::chrono::steady_clock::now();
    view->GetFolderCombo()->GoToPath(folder);
    view->GetList()->Update();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desktop_list_bench FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    if (!platform::PathExists(folder)) {
        std::fprintf(stderr, "desktop_list_bench: %s: no such folder\n", folder.c_str());
        return 2;
    }
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "desktop_list_bench: cannot start the window toolkit\n");
        return 2;
    }
    const std::string parent = folder.substr(0, folder.find_last_of('/'));
    settings::SetFileFilter("*.*");
    settings::SetLastDirectory(parent.empty() ? "/" : parent);
    settings::SetLastDirectoryFrozen(true);
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(800, 600));
    auto* view = new HDesktopView();
    view->Create(frame, wxID_ANY);
    frame->Show();
    wxTheApp->Yield();

    const double first = ListOnce(view, folder);
    view->GetFolderCombo()->GoUp();
    const double second = ListOnce(view, folder);
    const long before = ResidentKb();
    for (int i = 0; i < 100; ++i) {
        view->GetFolderCombo()->GoUp();
        ListOnce(view, folder);
    }
    const long after = ResidentKb();
    std::printf("%.3f %.3f %ld\n", first, second, after - before);
    std::fflush(stdout);

    frame->Destroy();
    wxTheApp->Yield();
    wxEntryCleanup();
    return 0;
}
