// Message boxes shown with wxMessageDialog.
#include "base/platform/gui/wx_services.h"
#include "base/platform/message_box.h"
#include "base/platform/path_text.h"
#include "base/resources/strings.h"

#include <wx/msgdlg.h>
#include <wx/window.h>

namespace platform {

namespace {

long WxStyle(unsigned style) {
    long wx = 0;
    switch (style & kMbButtonsMask) {
    case kMbOkCancel:
        wx = wxOK | wxCANCEL;
        break;
    case kMbYesNo:
        wx = wxYES_NO;
        break;
    case kMbYesNoCancel:
        wx = wxYES_NO | wxCANCEL;
        break;
    default:
        wx = wxOK;
        break;
    }
    switch (style & kMbIconMask) {
    case kMbIconError:
        wx |= wxICON_ERROR;
        break;
    case kMbIconQuestion:
        wx |= wxICON_QUESTION;
        break;
    case kMbIconWarning:
        wx |= wxICON_WARNING;
        break;
    case kMbIconInformation:
        wx |= wxICON_INFORMATION;
        break;
    default:
        wx |= wxICON_NONE;
        break;
    }
    return wx;
}

int ResultOf(int wxResult, unsigned style) {
    const unsigned buttons = style & kMbButtonsMask;
    switch (wxResult) {
    case wxID_OK:
        return kIdOk;
    case wxID_YES:
        return kIdYes;
    case wxID_NO:
        return kIdNo;
    default:
        // Cancelled or closed by the window manager: the refusing answer the
        // box offers (a Yes/No box cannot be cancelled, an OK box has only OK).
        if (buttons == kMbYesNo) return kIdNo;
        if (buttons == kMbOk) return kIdOk;
        return kIdCancel;
    }
}

int ShowWxMessageBox(void* owner, const std::string& text, const std::string& caption,
                     unsigned style) {
    std::string title = caption;
    if (title.empty()) {
        const char* app = strings::Load(sid::kAppTitle);
        title = app ? app : "";
    }
    // The text often names a file, whose name may not be UTF-8.
    const auto [main, secondary] = SplitSecondaryText(text);
    wxMessageDialog dialog(static_cast<wxWindow*>(owner), PathToDisplayText(main),
                           PathToDisplayText(title), WxStyle(style));
    if (!secondary.empty()) dialog.SetExtendedMessage(PathToDisplayText(secondary));
    return ResultOf(dialog.ShowModal(), style);
}

} // namespace

void InstallWxMessageBoxes() {
    SetMessageBoxHandler(ShowWxMessageBox);
}

void InstallWxServices() {
    InstallWxMessageBoxes();
    InstallWxFileDialogs();
    InstallWxLauncher();
}

} // namespace platform
