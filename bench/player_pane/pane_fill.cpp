// Times FillList of a player memory pane on the attached (virtual) player:
// a first fill with empty icon and type caches, then a second fill of the
// same memory. Each fill includes painting the rows it shows, so the icons
// they need are looked up. Prints "FIRST_MS SECOND_MS ROWS".
#include <chrono>
#include <cstdio>
#include <memory>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "lib/device/device_layer.h"
#include "base/platform/gui/shell_info.h"
#include "views/player/memory_pane.h"

namespace {

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "pane_fill: cannot start the window toolkit (no display?)\n");
        return 2;
    }
    DevInit();
    int count = 0, mask = 0;
    if (!DevConnect(true, &count, &mask)) {
        std::fprintf(stderr, "pane_fill: no player attached\n");
        return 2;
    }
    platform::SetShellInfo(std::make_unique<platform::GioShellInfo>());
    auto* frame = new wxFrame(nullptr, wxID_ANY, "pane_fill", wxDefaultPosition, wxSize(640, 800));
    auto* pane = new HMp3MemView(frame);
    pane->SetTitleText("Internal Memory");
    frame->Show();
    wxTheApp->Yield();

    using Clock = std::chrono::steady_clock;
    const auto fill = [&](bool force) {
        const Clock::time_point start = Clock::now();
        const bool ok = pane->FillList(force, 0);
        pane->GetList()->Update();
        const double ms = Milliseconds(Clock::now() - start);
        if (!ok) std::fprintf(stderr, "pane_fill: the memory could not be listed\n");
        return ok ? ms : -1.0;
    };
    const double first = fill(true);
    const double second = fill(false);
    std::printf("%.3f %.3f %ld\n", first, second, pane->GetList()->GetItemCount());

    frame->Destroy();
    wxTheApp->Yield();
    DevExit();
    wxEntryCleanup();
    return first < 0 || second < 0 ? 1 : 0;
}
