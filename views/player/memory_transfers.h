#pragma once
// The transfers of a player memory pane, apart from the pane: PC files onto
// the memory ("download") and player files into a PC folder ("upload"). Each
// checks what it is given, works out whether it fits before anything is
// written (asking whether to copy what fits), then copies under a progress
// dialog, and returns what it did; the pane shows the summary. Questions,
// messages and the progress dialog belong to the owner window.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "lib/device/kd5200_binding.h"
#include "views/player/space_check.h"
#include "views/player/transfer_meter.h"

class HNameList;
class wxWindow;

namespace player {

class MemoryTransfers {
public:
    // What a transfer did: the device layer's code (0 when all went well,
    // 14 cancelled), the status line that sums it up ("" when nothing was
    // copied or tried), and whether the player was found changed, so that
    // the pane lists it anew.
    struct Outcome {
        int code = 0;
        std::string summary;
        bool playerChanged = false;
    };

    // title: the progress dialog's title (the memory's name).
    explicit MemoryTransfers(wxWindow* owner, std::string title = {});
    void SetTitle(std::string title) { title_ = std::move(title); }

    // Whether every path of a transfer from the PC may be downloaded; the
    // first one that may not is shown (a folder through refuseDirectory,
    // which returns false to stop). Nothing is written before this passes.
    bool CheckPaths(const HNameList& list,
                    const std::function<bool(const std::string&)>& refuseDirectory) const;
    // Stores PC files (list names: full paths) on the memory.
    Outcome DownloadFiles(int memory, const HNameList& list);
    // Copies player files (list: name, entry number and size as shown) into
    // folder; they must still be as shown.
    Outcome UploadFiles(int memory, const std::string& folder, const HNameList& list);

private:
    // Checks that the files fit in room before anything is written; when
    // they do not, asks whether to copy those that fit. Fills chosen with the
    // entries of list to copy and files with their sizes; false when nothing
    // is to be copied. asked tells whether a question was open.
    bool ChooseFitting(const Room& room, const HNameList& list, HNameList& chosen,
                       std::vector<TransferMeter::File>& files, bool& asked) const;
    // Runs the device layer's copy under a progress dialog with Cancel,
    // giving it the progress handler to pass in its options; operation names
    // the direction ("download", "upload"), verify whether each copy is read
    // back.
    Outcome WithProgress(const char* operation, std::vector<TransferMeter::File> files, bool verify,
                         const std::function<int(const device::ProgressHandler&)>& call) const;
    // After an upload, names the files whose player names did not decode and
    // tells under which PC names they were written.
    void TellEscapedNames() const;
    // Says why nothing was done; the outcome of it.
    Outcome Refused(const std::string& text) const;

    wxWindow* owner_;
    std::string title_;
};

} // namespace player
