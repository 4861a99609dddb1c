// pane_demo: the two memory panes of the attached player in a window of
// their own, for trying the panes without the whole program. Files dropped
// from the desktop's file manager go onto the player; rows dragged onto the
// folder strip at the bottom are copied into FOLDER (default: the current
// folder). F2 renames, F5 refreshes, Delete deletes in the focused pane.
//
// Usage: pane_demo [FOLDER]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>

#include "ui/panes/file_target.h"
#include "lib/lists/name_list.h"
#include "lib/device/device_layer.h"
#include "base/platform/gui/wx_services.h"
#include "base/platform/path_text.h"
#include "base/platform/paths.h"
#include "views/player/memory_pane.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

namespace {

// The PC side of the demo: a strip that takes uploads into one folder.
class FolderStrip : public wxStaticText, public HFileTarget {
public:
    FolderStrip(wxWindow* parent, std::string folder)
        : wxStaticText(parent, wxID_ANY,
                       "Drop player files here to copy them into " +
                           platform::PathToDisplayText(folder)),
          folder_(std::move(folder)) {}
    wxWindow* GetWindow() const override { return const_cast<FolderStrip*>(this); }
    bool Receive(HNameList&, bool) override { return true; }
    std::optional<std::string> GetTargetFolder() const override { return folder_; }

private:
    std::string folder_;
};

class DemoFrame : public wxFrame {
public:
    explicit DemoFrame(const std::string& folder)
        : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(strings::Load(sid::kAppTitle)),
                  wxDefaultPosition, wxSize(720, 560)) {
        auto* splitter = new wxSplitterWindow(this);
        for (int memory = 0; memory < 2; ++memory) {
            panes_[memory] = new HMp3MemView(splitter);
            panes_[memory]->SetTitle(memory == 0 ? sid::kInternalMemory : sid::kExternalMemory);
        }
        splitter->SplitHorizontally(panes_[0], panes_[1]);
        splitter->SetSashGravity(0.5);
        auto* strip = new FolderStrip(this, folder);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(splitter, 1, wxEXPAND);
        sizer->Add(strip, 0, wxEXPAND | wxALL, 8);
        SetSizer(sizer);

        for (HMp3MemView* pane : panes_)
            pane->AddPeer(strip);
        wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_F2, ids::kRename},
                                     {wxACCEL_NORMAL, WXK_F5, ids::kRefresh}};
        SetAcceleratorTable(wxAcceleratorTable(2, keys));
        int count = 0, mask = 0;
        DevConnect(true, &count, &mask);
        for (int memory = 0; memory < 2; ++memory)
            panes_[memory]->FillList(true, memory);
    }

protected:
    // Commands and their update events go to the pane that holds the focus.
    bool TryBefore(wxEvent& event) override {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_MENU || type == wxEVT_UPDATE_UI) {
            for (HMp3MemView* pane : panes_) {
                const wxWindow* focus = FindFocus();
                if (focus && (focus == pane || pane->IsDescendant(const_cast<wxWindow*>(focus))) &&
                    pane->ProcessWindowEventLocally(event))
                    return true;
            }
        }
        return wxFrame::TryBefore(event);
    }

private:
    HMp3MemView* panes_[2] = {};
};

const char* const kUsage =
    "Usage: pane_demo [FOLDER]\n"
    "Shows the two memory panes of the attached player in a window of their own.\n"
    "Files dropped from the file manager onto a pane are copied to the player;\n"
    "rows dragged onto the strip at the bottom are copied into FOLDER (default:\n"
    "the current folder). F2 renames, F5 refreshes, Delete deletes.\n"
    "The device library is the build's, unless KD5200USB_LIBRARY names another.\n";

class DemoApp : public wxApp {
public:
    bool OnInit() override {
        platform::InstallWxServices();
        DevInit();
        const std::string folder =
            argc > 1 ? platform::PathFromText(argv[1]) : platform::CurrentDirectory();
        (new DemoFrame(folder))->Show();
        return true;
    }
    int OnExit() override {
        DevExit();
        return wxApp::OnExit();
    }
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(DemoApp);

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // A folder whose name starts with '-' is given as ./-name.
    if (argc > 2 || (argc > 1 && argv[1][0] == '-')) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // Built beside its sources, the demo does not find the device library
    // next to itself; it uses the one the build made.
    setenv("KD5200USB_LIBRARY", PANE_DEMO_DEVICE_LIBRARY, 0);
    return wxEntry(argc, argv);
}
