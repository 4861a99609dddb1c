#include "ui/panes/transfer_progress.h"
#include "base/resources/strings.h"

#include <wx/gauge.h>

#include "base/platform/gui/accessibility.h"
#include "base/platform/path_text.h"

#include <algorithm>

#include <wx/utils.h>
#include <wx/progdlg.h>

#include "lib/device/device_layer.h"
#include "ui/panes/background_call.h"

namespace app {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kUpdateInterval{100};

// What the dialog says for an operation the library reports.
wxString OperationText(const std::string& operation) {
    static const struct {
        const char* operation;
        const char* text;
    } kTexts[] = {
        {"download", SD_TEXT("Copying to the player...")},
        {"upload", SD_TEXT("Copying from the player...")},
        {"read", SD_TEXT("Reading raw data from the player...")},
        {"firmware", SD_TEXT("Writing the firmware. Do not unplug the player.")},
        {"font", SD_TEXT("Transferring the LCD font...")},
        {"format", SD_TEXT("Formatting...")},
    };
    for (const auto& t : kTexts)
        if (operation == t.operation) return wxString::FromUTF8(strings::Tr(t.text));
    return operation.empty() ? wxString::FromUTF8(strings::Tr("Working..."))
                             : wxString::FromUTF8(operation) + "...";
}

} // namespace

TransferProgress::TransferProgress(wxWindow* parent, const wxString& title, CancelRule rule,
                                   int delayMs)
    : parent_(parent), title_(title), rule_(rule), start_(Clock::now()),
      delay_(std::max(delayMs, 0)) {
    guard_.emplace([this](KD5200_HWND, const char* operation, device::ProgressPhase, int64_t done,
                          int64_t total) { return OnProgress(operation, done, total); });
}

TransferProgress::~TransferProgress() {
    Finish();
}

void TransferProgress::Finish() {
    guard_.reset();
    dialog_.reset();
}

int TransferProgress::Run(const std::function<int()>& call) {
    return RunCopy([&](const device::ProgressHandler& progress) {
        const device::ProgressGuard reports(progress);
        return call();
    });
}

int TransferProgress::RunCopy(
    const std::function<int(const device::ProgressHandler& progress)>& call) {
    // Keys wait until the dialog is up: it keeps the other windows disabled.
    return panes::CallInBackground(
        call, [this] { return dialog_ != nullptr; }, [this] { OpenWhenDue(); });
}

void TransferProgress::OpenWhenDue() {
    if (dialog_ || cancelled_ || !reported_ || Clock::now() - start_ < delay_) return;
    if (reportedTotal_ > 0 && reportedDone_ >= reportedTotal_) return;
    Open(reportedOperation_, reportedTotal_);
    lastValue_ = reportedTotal_ > 0
                     ? static_cast<int>(std::clamp<int64_t>(reportedDone_ * kRange / reportedTotal_,
                                                            0, kRange - 1))
                     : -1;
    lastUpdate_ = Clock::now();
    if (lastValue_ < 0)
        dialog_->Pulse();
    else
        dialog_->Update(lastValue_);
}

void TransferProgress::Open(const std::string& op, int64_t total) {
    int style = wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME;
    if (rule_ == CancelRule::kAllowed) style |= wxPD_CAN_ABORT;
    if (total > 0) style |= wxPD_REMAINING_TIME;
    const wxString first = detail_.empty() ? OperationText(op) : OperationText(op) + "\n" + detail_;
    dialog_ = std::make_unique<wxGenericProgressDialog>(title_, first, kRange, parent_, style);
    // The bar is read as the transfer it shows, with its value.
    for (wxWindow* child : dialog_->GetChildren())
        if (dynamic_cast<wxGauge*>(child)) platform::SetAccessibleName(child, title_);
    // The dialog has the keyboard, on Cancel, whatever the window
    // manager decides: a screen reader reads it as it comes up.
    platform::ActivateWhenShown(dialog_.get(), dialog_->FindWindow(wxID_CANCEL));
    lastOperation_ = op;
    lastDetail_ = detail_;
}

void TransferProgress::SetDetail(const std::string& detail) {
    detail_ = platform::PathToDisplayText(detail);
}

bool TransferProgress::OnProgress(const char* operation, int64_t done, int64_t total) {
    if (cancelled_) return true;
    const Clock::time_point now = Clock::now();
    const std::string op = operation ? operation : "";
    // The gauge stops short of its end, so that the dialog neither hides nor
    // waits at the end of one file of a transfer of several.
    const int value =
        total > 0 ? static_cast<int>(std::clamp<int64_t>(done * kRange / total, 0, kRange - 1))
                  : -1;

    reported_ = true;
    reportedOperation_ = op;
    reportedDone_ = done;
    reportedTotal_ = total;
    if (!dialog_) {
        if (now - start_ < delay_) return false;
        if (total > 0 && done >= total) return false; // over before anything was shown
        Open(op, total);
        lastValue_ = -2;
    } else if (value == lastValue_ && op == lastOperation_ && now - lastUpdate_ < kUpdateInterval) {
        return false;
    }

    const bool changed = op != lastOperation_ || detail_ != lastDetail_;
    const wxString message = !changed          ? wxString()
                             : detail_.empty() ? OperationText(op)
                                               : OperationText(op) + "\n" + detail_;
    lastOperation_ = op;
    lastDetail_ = detail_;
    lastValue_ = value;
    lastUpdate_ = now;
    const bool goOn = value < 0 ? dialog_->Pulse(message) : dialog_->Update(value, message);
    if (goOn) return false;
    if (rule_ == CancelRule::kNever) {
        dialog_->Resume();
        return false;
    }
    cancelled_ = true;
    // Nothing more to show: the call ends with the library's cancel code.
    dialog_->Hide();
    return true;
}

} // namespace app
