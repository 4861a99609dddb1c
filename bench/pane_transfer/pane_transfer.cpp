// One transfer through a player memory pane on the attached (virtual)
// player, as the window makes it: progress dialog, re-listing and all.
//   pane_transfer_bench down PATH        copies PATH to the internal memory
//   pane_transfer_bench up NAME FOLDER   copies NAME from it into FOLDER
// With --verify first, each copy is read back and compared ("Verify files
// after copying"); without, the setting is off.
// Prints the transfer's wall time and the CPU time this process spent on it
// (all of its threads, the device library's included), in milliseconds,
// from the command to the re-listed pane; exit status 0 when the copy
// succeeded.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/resource.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "lib/device/device_layer.h"
#include "lib/lists/name_list.h"
#include "lib/settings/settings_store.h"
#include "ui/panes/file_target.h"
#include "views/player/memory_pane.h"

namespace {

// User and system time of all threads of the process, in milliseconds.
double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// A PC folder as the target of an upload.
class FolderTarget : public HFileTarget {
public:
    FolderTarget(wxWindow* window, std::string folder)
        : window_(window), folder_(std::move(folder)) {}
    wxWindow* GetWindow() const override { return window_; }
    bool Receive(HNameList&, bool) override { return true; }
    std::optional<std::string> GetTargetFolder() const override { return folder_; }

private:
    wxWindow* window_;
    std::string folder_;
};

} // namespace

int main(int argc, char** argv) {
    const bool verify = argc > 1 && std::strcmp(argv[1], "--verify") == 0;
    if (verify) {
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    const bool down = argc == 3 && std::strcmp(argv[1], "down") == 0;
    const bool up = argc == 4 && std::strcmp(argv[1], "up") == 0;
    if (!down && !up) {
        std::fprintf(stderr, "usage: pane_transfer_bench [--verify] down PATH | up NAME FOLDER\n");
        return 2;
    }
    wxApp::SetInstance(new wxApp);
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "pane_transfer: cannot start the window toolkit (no display?)\n");
        return 2;
    }
    settings::WriteVerifyCopies(verify);
    DevInit();
    int count = 0, mask = 0;
    if (!DevConnect(true, &count, &mask)) {
        std::fprintf(stderr, "pane_transfer: no player attached\n");
        return 2;
    }
    auto* frame =
        new wxFrame(nullptr, wxID_ANY, "pane_transfer", wxDefaultPosition, wxSize(640, 480));
    auto* pane = new HMp3MemView(frame);
    pane->SetTitleText("Internal Memory");
    frame->Show();
    pane->FillList(true, 0);
    wxTheApp->Yield();

    bool ok;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuMs();
    if (down) {
        HNameList list;
        list.Add(argv[2], -1, 0);
        pane->Receive(list, true);
        ok = DevGetFileCount(0) > 0;
    } else {
        HFileListCtrl* rows = pane->GetList();
        for (long row = 0; row < rows->GetItemCount(); ++row)
            rows->SelectRow(row, rows->GetRowText(row, 0) == wxString::FromUTF8(argv[2]));
        FolderTarget target(frame, argv[3]);
        ok = pane->SendTo(&target);
    }
    std::printf("%.3f %.3f\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count(),
                CpuMs() - cpuStart);
    frame->Destroy();
    wxTheApp->Yield();
    DevExit();
    wxEntryCleanup();
    return ok ? 0 : 1;
}
