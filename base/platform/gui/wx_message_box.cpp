// Message boxes shown with wxMessageDialog.
#include "base/platform/gui/wx_services.h"
#include "base/platform/long_words.h"
#include "base/platform/message_box.h"
#include "base/platform/path_text.h"
#include "base/resources/strings.h"

#include <algorithm>

#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
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

// The text with its long names broken into lines, so that the box stays
// within two thirds of the screen's width (its icon and margins included).
wxString FittingText(wxWindow* owner, const std::string& text) {
    const int index = owner ? wxDisplay::GetFromWindow(owner) : wxNOT_FOUND;
    const wxRect screen = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    // The box's text may be shown larger and bold.
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold();
    font.SetFractionalPointSize(font.GetFractionalPointSize() * 1.2);
    wxScreenDC dc;
    dc.SetFont(font);
    const int room = std::max(screen.width * 2 / 3 - 160, 100);
    const auto width = [&dc](std::string_view piece) {
        return dc.GetTextExtent(PathToDisplayText(std::string(piece))).x;
    };
    return PathToDisplayText(BreakLongWords(text, room, width));
}

int ShowWxMessageBox(void* owner, const std::string& text, const std::string& caption,
                     unsigned style) {
    std::string title = caption;
    if (title.empty()) {
        const char* app = strings::Load(sid::kAppTitle);
        title = app ? app : "";
    }
    // The text often names a file, whose name may not be UTF-8.
    // Long names are broken into lines, so that the box fits the screen.
    wxWindow* const parent = static_cast<wxWindow*>(owner);
    const auto [main, secondary] = SplitSecondaryText(text);
    wxMessageDialog dialog(parent, FittingText(parent, main), PathToDisplayText(title),
                           WxStyle(style));
    if (!secondary.empty()) dialog.SetExtendedMessage(FittingText(parent, secondary));
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
