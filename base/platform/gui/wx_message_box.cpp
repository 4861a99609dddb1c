// Message boxes shown with wxMessageDialog.
#include "base/platform/gui/box_help_key.h"
#include "base/platform/gui/box_placement.h"
#include "base/platform/gui/wx_services.h"
#include "base/platform/long_words.h"
#include "base/platform/message_box.h"
#include "base/platform/path_text.h"
#include "base/resources/strings.h"

#include <algorithm>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
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
    if (style & kMbDefaultButton2)
        wx |= (style & kMbButtonsMask) == kMbOkCancel ? wxCANCEL_DEFAULT : wxNO_DEFAULT;
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
    case wxID_YESTOALL:
        return kIdYesToAll;
    case wxID_NOTOALL:
        return kIdNoToAll;
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

// The question asked of each of several files: five buttons, more than a
// native message box holds, in a dialog laid out as one.
int ShowToAllQuestion(wxWindow* parent, const wxString& main, const wxString& secondary,
                      const wxString& title) {
    // Centred over the main window, as the system's boxes are.
    wxDialog dialog(parent ? wxGetTopLevelParent(parent) : nullptr, wxID_ANY, title);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    body->Add(new wxStaticBitmap(&dialog, wxID_ANY,
                                 wxArtProvider::GetBitmap(wxART_QUESTION, wxART_MESSAGE_BOX)),
              0, wxALL, 12);
    auto* texts = new wxBoxSizer(wxVERTICAL);
    auto* text = new wxStaticText(&dialog, wxID_ANY, main);
    text->SetFont(text->GetFont().Bold());
    texts->Add(text, 0, wxBOTTOM, 8);
    if (!secondary.empty()) texts->Add(new wxStaticText(&dialog, wxID_ANY, secondary));
    body->Add(texts, 1, wxTOP | wxRIGHT | wxBOTTOM, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    const struct {
        int id;
        const char* label;
    } kButtons[] = {{wxID_YES, SD_TEXT("&Yes")},
                    {wxID_YESTOALL, SD_TEXT("Yes to &All")},
                    {wxID_NO, SD_TEXT("&No")},
                    {wxID_NOTOALL, SD_TEXT("N&o to All")},
                    {wxID_CANCEL, SD_TEXT("Cancel")}};
    for (const auto& b : kButtons)
        buttons->Add(new wxButton(&dialog, b.id, wxString::FromUTF8(strings::Tr(b.label))), 0,
                     wxLEFT, 6);
    dialog.Bind(wxEVT_BUTTON, [&dialog](wxCommandEvent& event) { dialog.EndModal(event.GetId()); });
    dialog.SetEscapeId(wxID_CANCEL);
    if (auto* yes = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_YES))) {
        yes->SetDefault();
        yes->SetFocus();
    }

    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(body, 1, wxEXPAND);
    all->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    dialog.SetSizerAndFit(all);
    dialog.CentreOnParent();
    return dialog.ShowModal();
}

#ifdef __WXGTK__
// The desktop's message box is read by its kind ("Information"); while one
// is shown, a box that appears is read by its caption instead.
gboolean NameByCaption(GSignalInvocationHint*, guint, const GValue* values, gpointer) {
    auto* widget = static_cast<GtkWidget*>(g_value_get_object(&values[0]));
    if (GTK_IS_MESSAGE_DIALOG(widget))
        if (const char* title = gtk_window_get_title(GTK_WINDOW(widget)))
            atk_object_set_name(gtk_widget_get_accessible(widget), title);
    return TRUE;
}

class CaptionNames {
public:
    CaptionNames()
        : signal_(g_signal_lookup("map", GTK_TYPE_WIDGET)),
          hook_(g_signal_add_emission_hook(signal_, 0, NameByCaption, nullptr, nullptr)) {}
    ~CaptionNames() { g_signal_remove_emission_hook(signal_, hook_); }
    CaptionNames(const CaptionNames&) = delete;
    CaptionNames& operator=(const CaptionNames&) = delete;

private:
    guint signal_;
    gulong hook_;
};
#else
// The system's message box is read by its caption already.
struct CaptionNames {
    CaptionNames() {}
};
#endif

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
    if ((style & kMbButtonsMask) == kMbYesNoToAllCancel)
        return ResultOf(
            ShowToAllQuestion(parent, FittingText(parent, main),
                              secondary.empty() ? wxString() : FittingText(parent, secondary),
                              PathToDisplayText(title)),
            style);
    wxMessageDialog dialog(parent, FittingText(parent, main), PathToDisplayText(title),
                           WxStyle(style));
    if (!secondary.empty()) dialog.SetExtendedMessage(FittingText(parent, secondary));
    // OK without an access key, as the desktop's own boxes have it (the
    // toolkit's stock button adds one: "확인(O)").
    if (WxStyle(style) & wxOK) dialog.SetOKLabel(wxString::FromUTF8(strings::Tr("OK")));
    const CaptionNames names;
    const BoxHelpKey help(wxWindow::FindFocus() ? wxWindow::FindFocus() : parent);
    const CentredOverOwner placed(parent);
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
