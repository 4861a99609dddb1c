// Lists a folder into the file list as the desktop view does (folders, then
// files, sorted by name with folders first), then times one operation and
// prints its seconds. The time runs until the list has been painted.
// Usage: list_bench FOLDER fill|sort|reselect
//   fill      list the folder, sort by name, paint
//   sort      with every other row selected, sort by size (ties by name), paint
//   reselect  select the 500 rows named by a name list of full paths, paint
//   serve     list, sort and paint, print "ready", then keep the window up until
//             standard input closes (for a screen reader to walk the table)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "lib/lists/file_rows.h"
#include "ui/list/file_kinds.h"
#include "ui/list/file_list_ctrl.h"
#include "lib/lists/name_list.h"
#include "base/platform/locale_format.h"

namespace {

struct Row {
    std::string name;
    bool folder = false;
    uint64_t size = 0;
    int64_t written = 0;
    const std::string* type = nullptr;
    mutable int icon = -2; // -2: not looked up yet
};

// The desktop view's rows: name, size in KB, type, date.
class FolderRows : public HFileListCtrl::Source {
public:
    explicit FolderRows(std::string folder) : folder_(std::move(folder)) {}

    bool List() {
        rows.clear();
        for (const bool folders : {true, false}) {
            DIR* dir = opendir(folder_.c_str());
            if (!dir) return false;
            const int fd = dirfd(dir);
            while (const dirent* entry = readdir(dir)) {
                if (entry->d_name[0] == '.') continue;
                struct stat st {};
                if (fstatat(fd, entry->d_name, &st, 0) != 0) continue;
                if (S_ISDIR(st.st_mode) != folders) continue;
                Row row;
                row.name = entry->d_name;
                row.folder = folders;
                row.size = folders ? 0 : static_cast<uint64_t>(st.st_size);
                row.written = st.st_mtim.tv_sec;
                row.type = &kinds.TypeName(row.name, folders);
                rows.push_back(std::move(row));
            }
            closedir(dir);
        }
        return true;
    }

    std::string GetCellText(uint32_t data, int column) const override {
        const Row& row = rows[data];
        switch (column) {
        case 0:
            return row.name;
        case 1:
            return platform::FormatGroupedNumber((row.size + 1023) / 1024) + "KB";
        case 2:
            return *row.type;
        default:
            return platform::FormatFileTime(row.written);
        }
    }
    int GetCellImage(uint32_t data) const override {
        const Row& row = rows[data];
        if (row.icon == -2) row.icon = kinds.IconIndex(folder_ + "/" + row.name, row.folder);
        return row.icon;
    }

    std::vector<Row> rows;
    mutable HFileKinds kinds;

private:
    std::string folder_;
};

// Folders first, then the column, then the name.
int ByName(const Row& a, const Row& b) {
    return a.folder != b.folder ? (a.folder ? -1 : 1) : 0;
}
int BySize(const Row& a, const Row& b) {
    if (a.folder != b.folder) return a.folder ? -1 : 1;
    return CompareValues(a.size, b.size);
}

void Paint(HFileListCtrl& list) {
    list.Refresh();
    list.Update();
    wxTheApp->Yield(true);
}

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

int Run(const std::string& folder, const std::string& operation) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "list", wxPoint(0, 0), wxSize(800, 600));
    auto* list = new HFileListCtrl(frame, 141);
    list->AppendColumnWidth("Name", wxLIST_FORMAT_LEFT, 300);
    list->AppendColumnWidth("Size", wxLIST_FORMAT_RIGHT, 100);
    list->AppendColumnWidth("Type", wxLIST_FORMAT_LEFT, 150);
    list->AppendColumnWidth("Date", wxLIST_FORMAT_LEFT, 150);
    frame->Show();
    wxTheApp->Yield(true);

    FolderRows pane(folder);
    list->SetImageList(pane.kinds.GetImageList(), wxIMAGE_LIST_SMALL);
    list->SetSource(&pane);
    const auto fill = [&] {
        if (!pane.List()) return false;
        list->ShowRows(pane.rows.size());
        list->SortRows(
            [&](uint32_t a, uint32_t b) {
                if (const int c = ByName(pane.rows[a], pane.rows[b])) return c;
                return CompareNames(pane.rows[a].name, pane.rows[b].name);
            },
            true);
        Paint(*list);
        return true;
    };

    using Clock = std::chrono::steady_clock;
    Clock::time_point start;
    size_t expected = 0, selected = 0;
    if (operation == "fill") {
        start = Clock::now();
        if (!fill()) return 1;
    } else if (operation == "sort") {
        if (!fill()) return 1;
        list->SelectDataWhere([](uint32_t data) { return data % 2 == 0; });
        Paint(*list);
        expected = (pane.rows.size() + 1) / 2;
        start = Clock::now();
        list->SortRows(
            [&](uint32_t a, uint32_t b) {
                if (const int c = BySize(pane.rows[a], pane.rows[b])) return c;
                return CompareNames(pane.rows[a].name, pane.rows[b].name);
            },
            false);
        Paint(*list);
        selected = static_cast<size_t>(list->GetSelectedItemCount());
    } else if (operation == "reselect") {
        if (!fill()) return 1;
        HNameList names;
        for (size_t i = 0; i < pane.rows.size() && names.GetCount() < 500; i += 97)
            if (!pane.rows[i].folder) names.Add((folder + "/" + pane.rows[i].name).c_str(), 0, 0);
        expected = names.GetCount();
        start = Clock::now();
        list->SelectDataWhere(
            [&](uint32_t data) { return names.ContainsFileName(pane.rows[data].name.c_str()); });
        Paint(*list);
        selected = static_cast<size_t>(list->GetSelectedItemCount());
    } else if (operation == "serve") {
        if (!fill()) return 1;
        list->SetTableName("Bench List");
        list->SetFocus();
        std::printf("ready\n");
        std::fflush(stdout);
        // Runs the window's own event loop, as the program does, until the
        // reader closes standard input.
        const int flags = fcntl(0, F_GETFL);
        fcntl(0, F_SETFL, flags | O_NONBLOCK);
        wxTimer watch;
        watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            char byte;
            const ssize_t got = read(0, &byte, 1);
            if (got == 0 || (got < 0 && errno != EAGAIN)) {
                watch.Stop();
                frame->Destroy();
                wxTheApp->ExitMainLoop();
            }
        });
        watch.Start(100);
        wxTheApp->MainLoop();
        return 0;
    } else {
        std::fprintf(stderr, "list_bench: unknown operation '%s'\n", operation.c_str());
        return 2;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (selected != expected) {
        std::fprintf(stderr, "list_bench: %zu rows selected, %zu expected\n", selected, expected);
        return 1;
    }
    std::printf("%.6f\n", seconds);
    frame->Destroy();
    return 0;
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("Usage: list_bench FOLDER fill|sort|reselect|serve\n", stderr);
        return 2;
    }
    std::setlocale(LC_ALL, "");
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fputs("list_bench: cannot open the display\n", stderr);
        return 1;
    }
    const int status = Run(argv[1], argv[2]);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}
