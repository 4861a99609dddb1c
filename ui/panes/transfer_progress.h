#pragma once
// A progress dialog for one long device call.
//
// While a TransferProgress exists, the device layer's progress reports drive
// a progress dialog (application-modal, with Cancel, hidden when the work is
// done): the toolkit's own on every system, made of the program's controls.
// (Windows' task dialog, which wxProgressDialog is there, runs on a thread
// of its own, and under Wine clips its "Hide details" switch.) Pressing
// Cancel makes the next report ask the library to stop, so the call ends
// with code 14. The dialog appears `delayMs` after the start,
// once the call has reported (0: at the first report), so quick calls show
// none; a slow call's dialog does not wait for its next report.
// The destructor, or Finish(), destroys the dialog and puts the previous
// progress handler back; end the progress before showing a result message.
//
//   {
//       app::TransferProgress progress(parent, "Upgrade Boot Code");
//       ok = progress.Run([&] { return DevApi().UpgradeFirmware(...); });
//   }
//
// A copy takes its progress handler in its options: RunCopy gives it one.
//
// Run() makes the call off the window thread, so that the window, the dialog
// and a screen reader are answered throughout; a call made directly blocks
// the window between two reports.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <wx/string.h>

#include "lib/device/device_progress.h"

class wxGenericProgressDialog;
class wxWindow;

namespace app {

class TransferProgress {
public:
    // Whether the dialog offers Cancel. A firmware write must not be broken
    // off once it has begun: the dialog for it appears when the library
    // reports the write's start and has no Cancel at all.
    enum class CancelRule { kAllowed, kNever };

    // Range of the dialog's gauge; the library's byte counts are scaled to it.
    static constexpr int kRange = 1000;

    TransferProgress(wxWindow* parent, const wxString& title,
                     CancelRule rule = CancelRule::kAllowed, int delayMs = 200);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    // Makes call, the long device call this dialog shows, on a thread of its
    // own, while the window thread shows the dialog and answers the call's
    // progress reports and questions; returns call's result.
    int Run(const std::function<int()>& call);
    // The same for a copy, which passes the handler it is given in its
    // options (DevCopyOptions::progress).
    int RunCopy(const std::function<int(const device::ProgressHandler& progress)>& call);
    // Destroys the dialog and restores the previous handler (idempotent).
    void Finish();
    // A detail shown below the operation's text from the next report on
    // (bytes as a file name holds them), e.g. the file under way.
    void SetDetail(const std::string& detail);
    // Whether the user pressed Cancel and the call was asked to stop.
    bool Cancelled() const { return cancelled_; }
    // The dialog while it is shown, else null.
    wxGenericProgressDialog* Dialog() const { return dialog_.get(); }

private:
    bool OnProgress(const char* operation, int64_t done, int64_t total);
    // Shows the dialog for a report.
    void Open(const std::string& operation, int64_t total);
    // While Run waits: shows the dialog for the last report once it is due.
    void OpenWhenDue();

    wxWindow* parent_;
    wxString title_;
    CancelRule rule_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::milliseconds delay_;
    std::unique_ptr<wxGenericProgressDialog> dialog_;
    std::optional<device::ProgressGuard> guard_;
    bool cancelled_ = false;
    int lastValue_ = -1;
    std::string lastOperation_;
    bool reported_ = false; // a report has come, the last one being:
    std::string reportedOperation_;
    int64_t reportedDone_ = 0, reportedTotal_ = 0;
    wxString detail_;
    wxString lastDetail_;
    std::chrono::steady_clock::time_point lastUpdate_;
};

} // namespace app
