#include "views/settings/config_dialog.h"

#include <cerrno>
#include <climits>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <tuple>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/controls/icons.h"
#include "base/platform/code_page.h"
#include "lib/device/device_layer.h"
#include "base/platform/file_dialog.h"
#include "base/platform/gui/accessibility.h"
#include "base/platform/message_box.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

namespace {

constexpr int kTitleIds[HConfigDialog::kPageCount] = {
    sid::kPageTimeout, sid::kPageRom, sid::kPageAdpcm, sid::kPageQdx, sid::kPageRawData};
// Texts are read with this limit, terminator included (99 characters).
constexpr size_t kFieldLimit = 100;

wxString Title(int page) {
    const char* text = strings::Load(kTitleIds[page]);
    return wxString::FromUTF8(text ? text : "");
}

// Time-outs the dialog accepts, in ms: from a tenth of a second to a day.
constexpr long kMinTimeout = 100;
constexpr long kMaxTimeout = 86400000;

// A time-out field's value: blanks around a decimal number in range; false
// for anything else, which is refused rather than stored as 0 or cut.
bool ReadTimeout(const wxString& text, int& value) {
    const std::string bytes = text.utf8_string();
    const size_t first = bytes.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const size_t last = bytes.find_last_not_of(" \t");
    const std::string digits = bytes.substr(first, last - first + 1);
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long number = std::strtol(digits.c_str(), nullptr, 10);
    if (number < kMinTimeout || number > kMaxTimeout) return false;
    value = static_cast<int>(number);
    return true;
}

// A field's label as a message names it: without the trailing " :".
std::string FieldName(const char* label) {
    std::string name = label;
    while (!name.empty() && (name.back() == ':' || name.back() == ' '))
        name.pop_back();
    return name;
}

// A block number: blanks and tabs skipped, "0x" or "0X" reads hexadecimal,
// otherwise the leading decimal number (0 when there is none).
unsigned RangeNumber(const wxString& text) {
    const std::string bytes = settings::CutUtf8(text.utf8_string(), kFieldLimit);
    size_t i = bytes.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    if (bytes.compare(i, 2, "0x") == 0 || bytes.compare(i, 2, "0X") == 0)
        return static_cast<unsigned>(std::strtoul(bytes.c_str() + i + 2, nullptr, 16));
    return static_cast<unsigned>(std::strtoul(bytes.c_str() + i, nullptr, 10));
}

// A text of the string table or catalogue (UTF-8) as a window shows it; a
// plain conversion would read it in the system's code page on Windows.
wxString Text(const char* id) {
    return wxString::FromUTF8(strings::Tr(id));
}

wxTextCtrl* Edit(wxWindow* page, int id) {
    return static_cast<wxTextCtrl*>(page->FindWindow(id));
}

wxRadioButton* Radio(wxWindow* page, int id) {
    return static_cast<wxRadioButton*>(page->FindWindow(id));
}

// A "Songdock" text setting for a field.
wxString SongdockText(const char* key) {
    char text[kFieldLimit];
    settings::GetSongdockText(key, text, sizeof text);
    return platform::PathToText(text);
}

// A field's text as stored: its bytes (checked to fit before).
std::string FieldText(wxWindow* page, int id) {
    return platform::PathFromText(Edit(page, id)->GetValue());
}

// A chosen path as a field shows it, whole: one too long for the settings is
// refused on OK, with a message, rather than cut.
wxString FieldValue(const std::string& path) {
    return platform::PathToText(path);
}

// Adds "label [edit]" in a row of a grid.
wxTextCtrl* AddField(wxWindow* page, wxFlexGridSizer* grid, const char* label, int id,
                     int width = 120) {
    auto* caption = new wxStaticText(page, wxID_ANY, wxString::FromUTF8(label));
    grid->Add(caption, 0, wxALIGN_CENTER_VERTICAL);
    auto* edit = new wxTextCtrl(page, id, "", wxDefaultPosition, wxSize(width, -1));
    grid->Add(edit, 1, wxEXPAND);
    platform::SetLabelFor(caption, edit);
    return edit;
}

// The code pages a player's names may be kept in; the first choice follows
// the person's language.
constexpr const char* kCodePages[] = {"CP949",  "CP932",  "CP936",  "CP950",  "CP1250",
                                      "CP1251", "CP1252", "CP1253", "CP1254", "CP1255",
                                      "CP1256", "CP1257", "CP1258"};

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(HConfigDialog, wxDialog)
    EVT_BUTTON(ids::kRawFileBrowse, HConfigDialog::OnBrowseRawFile)
    EVT_BUTTON(ids::kRawViewerBrowse, HConfigDialog::OnBrowseViewer)
wxEND_EVENT_TABLE()
// clang-format on

HConfigDialog::HConfigDialog(wxWindow* parent)
    : wxDialog(parent, ids::kConfigDialog, wxString::FromUTF8(strings::Tr(text::kConfiguration))) {
    tree_ = new HPageList(this, ids::kConfigTree, wxSize(255, 220));
    // Drawn for the window's scale, sharp on a HiDPI screen.
    wxVector<wxBitmapBundle> images;
    for (int icon : ids::kPageIcons)
        images.push_back(controls::IconBundle(icon, 16));
    tree_->SetImages(images);
    platform::SetAccessibleName(tree_, wxString::FromUTF8(strings::Tr(text::kConfiguration)));

    auto* groupSizer = new wxStaticBoxSizer(wxVERTICAL, this, " ");
    group_ = groupSizer->GetStaticBox();
    group_->SetId(ids::kConfigPageGroup);
    for (int n = 0; n < kPageCount; ++n) {
        tree_->AddPage(Title(n), n);
        pages_[n] = MakePage(n, group_);
        pages_[n]->Hide();
        groupSizer->Add(pages_[n], 1, wxEXPAND | wxALL, 6);
    }

    auto* body = new wxBoxSizer(wxHORIZONTAL);
    body->Add(tree_, 0, wxEXPAND | wxRIGHT, 10);
    body->Add(groupSizer, 1, wxEXPAND);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, ids::kIdOk, wxString::FromUTF8(strings::Tr("OK")));
    ok->SetDefault();
    buttons->Add(ok, 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, ids::kIdCancel, wxString::FromUTF8(strings::Tr("Cancel"))));
    SetAffirmativeId(ids::kIdOk);
    SetEscapeId(ids::kIdCancel);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(body, 1, wxEXPAND | wxALL, 10);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    // One page shows at a time: each takes the room of the largest, so that
    // the dialog fits that one and keeps its size from page to page.
    wxSize largest;
    for (wxWindow* page : pages_)
        largest.IncTo(page->GetBestSize());
    for (wxWindow* page : pages_)
        page->SetMinSize(largest);
    pages_[0]->Show();
    SetSizerAndFit(top);

    tree_->SelectPage(0);
    ShowPage(0);
    tree_->OnPageChosen([this](int n) { ShowPage(n); });
    CentreOnParent();
}

HConfigDialog::~HConfigDialog() = default;

wxWindow* HConfigDialog::MakePage(int n, wxWindow* parent) {
    auto* page = new wxPanel(parent, ids::kPageDialogs[n]);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    switch (n) {
    case 0: {
        auto* grid = new wxFlexGridSizer(2, wxSize(8, 8));
        AddField(page, grid, strings::Tr(text::kReceiveTimeout), ids::kReceiveTimeoutEdit);
        AddField(page, grid, strings::Tr(text::kSendTimeout), ids::kSendTimeoutEdit);
        AddField(page, grid, strings::Tr(text::kFormatTimeout), ids::kFormatTimeoutEdit);
        auto* caption = new wxStaticText(page, wxID_ANY, wxString::FromUTF8(strings::Tr(text::kPlayerCodePage)));
        char fromLanguage[96];
        std::snprintf(fromLanguage, sizeof fromLanguage, strings::Tr(text::kCodePageFromLanguage),
                      platform::CodePageFromEnvironment().c_str());
        wxArrayString choices;
        choices.Add(wxString::FromUTF8(fromLanguage));
        for (const char* name : kCodePages)
            choices.Add(name);
        auto* codePage = new wxChoice(page, ids::kPlayerCodePageChoice, wxDefaultPosition,
                                      wxDefaultSize, choices);
        grid->Add(caption, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(codePage, 1, wxEXPAND);
        platform::SetLabelFor(caption, codePage);
        sizer->Add(grid, 0, wxALL, 4);
        // The page of what every transfer obeys.
        sizer->Add(new wxCheckBox(page, ids::kVerifyCopiesCheck, Text(text::kVerifyCopies)), 0, wxALL, 4);
        break;
    }
    case 1:
        sizer->Add(new wxRadioButton(page, ids::kRomMdsRadio, Text(text::kRomMds), wxDefaultPosition,
                                     wxDefaultSize, wxRB_GROUP),
                   0, wxALL, 4);
        sizer->Add(new wxRadioButton(page, ids::kRomStandAloneRadio, Text(text::kRomStandAlone)), 0,
                   wxALL, 4);
        break;
    case 2:
    case 3:
        sizer->Add(new wxRadioButton(page, ids::kConvertRadio, Text(text::kConvertToWav),
                                     wxDefaultPosition, wxDefaultSize, wxRB_GROUP),
                   0, wxALL, 4);
        sizer->Add(new wxRadioButton(page, ids::kBinaryRadio,
                                     Text(n == 2 ? text::kBinaryQka : text::kBinaryQdx)),
                   0, wxALL, 4);
        break;
    default: {
        auto* grid = new wxFlexGridSizer(3, wxSize(8, 8));
        grid->AddGrowableCol(1);
        // The two "Browse >>" buttons are read with the field each fills.
        for (const auto& [label, edit, browse] :
             {std::tuple{text::kRawFileName, ids::kRawFileEdit, ids::kRawFileBrowse},
              std::tuple{text::kRawViewer, ids::kRawViewerEdit, ids::kRawViewerBrowse}}) {
            AddField(page, grid, strings::Tr(label), edit, 260);
            auto* button = new wxButton(page, browse, wxString::FromUTF8(strings::Tr(text::kBrowse)));
            grid->Add(button);
            platform::SetAccessibleName(button, wxString::FromUTF8(strings::Tr(text::kBrowse)) + " " +
                                                    wxString::FromUTF8(FieldName(strings::Tr(label))));
        }
        sizer->Add(grid, 0, wxEXPAND | wxALL, 4);

        auto* range = new wxStaticBoxSizer(wxHORIZONTAL, page, Text(text::kRawRange));
        wxWindow* box = range->GetStaticBox();
        for (const auto& [label, id] : {std::pair{Text(text::kRawAddr), ids::kRawAddrEdit},
                                        std::pair{Text(text::kRawCount), ids::kRawCountEdit}}) {
            auto* caption = new wxStaticText(box, wxID_ANY, label);
            auto* edit = new wxTextCtrl(box, id, "", wxDefaultPosition, wxSize(100, -1));
            range->Add(caption, 0, wxALIGN_CENTER_VERTICAL | wxALL, 4);
            range->Add(edit, 0, wxALL, 4);
            platform::SetLabelFor(caption, edit);
        }
        sizer->Add(range, 0, wxEXPAND | wxALL, 4);
        break;
    }
    }
    page->SetSizer(sizer);
    // The page is read by its title once, as the group box around it (the
    // page itself stays unnamed); its radio buttons by their own texts.
    return page;
}

void HConfigDialog::ShowPage(int n) {
    if (n < 0 || n >= kPageCount) return;
    pages_[n]->Show();
    if (shown_ >= 0 && shown_ != n) pages_[shown_]->Hide();
    group_->SetLabel(" " + Title(n) + " ");
    shown_ = n;
    pages_[n]->GetParent()->Layout();
    Layout();
    pages_[n]->Refresh();
}

bool HConfigDialog::TransferDataToWindow() {
    const settings::Timeouts timeouts = DevGetTimeouts();
    Edit(pages_[0], ids::kReceiveTimeoutEdit)
        ->ChangeValue(wxString::Format("%d", timeouts.receive));
    Edit(pages_[0], ids::kSendTimeoutEdit)->ChangeValue(wxString::Format("%d", timeouts.send));
    Edit(pages_[0], ids::kFormatTimeoutEdit)->ChangeValue(wxString::Format("%d", timeouts.format));

    static_cast<wxCheckBox*>(pages_[0]->FindWindow(ids::kVerifyCopiesCheck))
        ->SetValue(settings::GetVerifyCopies());
    auto* codePage = static_cast<wxChoice*>(pages_[0]->FindWindow(ids::kPlayerCodePageChoice));
    codePage->SetSelection(0);
    for (size_t i = 0; i < std::size(kCodePages); ++i)
        if (settings::GetPlayerCodePage() == kCodePages[i]) codePage->SetSelection(static_cast<int>(i) + 1);

    const bool mds = settings::GetROMSelect() == 2;
    Radio(pages_[1], mds ? ids::kRomMdsRadio : ids::kRomStandAloneRadio)->SetValue(true);
    Radio(pages_[2], settings::GetAdpcmConvert() == 1 ? ids::kBinaryRadio : ids::kConvertRadio)
        ->SetValue(true);
    Radio(pages_[3], settings::GetQdxConvert() == 1 ? ids::kBinaryRadio : ids::kConvertRadio)
        ->SetValue(true);

    wxWindow* raw = pages_[4];
    Edit(raw, ids::kRawFileEdit)->ChangeValue(SongdockText(settings::kRawDataFileName));
    Edit(raw, ids::kRawViewerEdit)->ChangeValue(SongdockText(settings::kRawDataViewer));
    const settings::RawDataRange range = settings::GetRawDataRange();
    Edit(raw, ids::kRawAddrEdit)->ChangeValue(wxString::Format("%u", range.addr));
    Edit(raw, ids::kRawCountEdit)->ChangeValue(wxString::Format("%u", range.count));
    return true;
}

void HConfigDialog::Refuse(int page, int id, const std::string& message) {
    tree_->SelectPage(page);
    ShowPage(page);
    platform::MessageBox(this, message, strings::Tr(text::kConfiguration),
                         platform::kMbOk | platform::kMbIconWarning);
    wxTextCtrl* edit = Edit(pages_[page], id);
    edit->SetFocus();
    edit->SelectAll();
}

bool HConfigDialog::CheckFields() {
    static constexpr struct {
        int id;
        const char* label;
    } kTimeouts[] = {{ids::kReceiveTimeoutEdit, text::kReceiveTimeout},
                     {ids::kSendTimeoutEdit, text::kSendTimeout},
                     {ids::kFormatTimeoutEdit, text::kFormatTimeout}};
    for (const auto& field : kTimeouts) {
        int value = 0;
        if (!ReadTimeout(Edit(pages_[0], field.id)->GetValue(), value)) {
            const wxString why = wxString::Format(
                wxString::FromUTF8(
                    strings::Tr("\"%s\" must be a whole number of milliseconds from %ld to %ld.")),
                wxString::FromUTF8(FieldName(strings::Tr(field.label))), kMinTimeout, kMaxTimeout);
            Refuse(0, field.id, why.utf8_string());
            return false;
        }
    }
    static constexpr struct {
        int id;
        const char* label;
    } kPaths[] = {{ids::kRawFileEdit, text::kRawFileName}, {ids::kRawViewerEdit, text::kRawViewer}};
    for (const auto& field : kPaths) {
        const size_t length = FieldText(pages_[4], field.id).size();
        if (length >= kFieldLimit) {
            Refuse(4, field.id,
                   wxString::Format(wxString::FromUTF8(strings::Tr(
                                        "The path in \"%s\" is %d bytes long; the settings "
                                        "keep at most %d.")),
                                    wxString::FromUTF8(FieldName(strings::Tr(field.label))),
                                    static_cast<int>(length), static_cast<int>(kFieldLimit - 1))
                       .utf8_string());
            return false;
        }
    }
    return true;
}

bool HConfigDialog::TransferDataFromWindow() {
    // Nothing is stored unless every field can be stored as shown.
    if (!CheckFields()) return false;
    int receive = 0, send = 0, format = 0;
    ReadTimeout(Edit(pages_[0], ids::kReceiveTimeoutEdit)->GetValue(), receive);
    ReadTimeout(Edit(pages_[0], ids::kSendTimeoutEdit)->GetValue(), send);
    ReadTimeout(Edit(pages_[0], ids::kFormatTimeoutEdit)->GetValue(), format);
    DevSetTimeouts(receive, send, format);
    settings::WriteVerifyCopies(
        static_cast<wxCheckBox*>(pages_[0]->FindWindow(ids::kVerifyCopiesCheck))->GetValue());
    const int codePage =
        static_cast<wxChoice*>(pages_[0]->FindWindow(ids::kPlayerCodePageChoice))->GetSelection();
    settings::WritePlayerCodePage(codePage > 0 ? kCodePages[codePage - 1] : "");
    DevApplyCodePage();
    settings::WriteROMSelect(Radio(pages_[1], ids::kRomMdsRadio)->GetValue() ? 2 : 0);
    settings::WriteAdpcmConvert(Radio(pages_[2], ids::kBinaryRadio)->GetValue() ? 1 : 0);
    settings::WriteQdxConvert(Radio(pages_[3], ids::kBinaryRadio)->GetValue() ? 1 : 0);

    wxWindow* raw = pages_[4];
    settings::WriteSongdockText(settings::kRawDataFileName, FieldText(raw, ids::kRawFileEdit));
    settings::WriteSongdockText(settings::kRawDataViewer, FieldText(raw, ids::kRawViewerEdit));
    settings::WriteRawDataRange({RangeNumber(Edit(raw, ids::kRawAddrEdit)->GetValue()),
                                 RangeNumber(Edit(raw, ids::kRawCountEdit)->GetValue())});
    return true;
}

void HConfigDialog::OnBrowseRawFile(wxCommandEvent&) {
    // A save dialog that lets the user name a new file; it does not ask
    // before an existing one, since nothing is written now (the raw data
    // download asks when it writes).
    wxTextCtrl* edit = Edit(pages_[4], ids::kRawFileEdit);
    const auto chosen = platform::ShowSaveFileDialog(this, "", strings::Tr(text::kDataFilter),
                                                     platform::PathFromText(edit->GetValue()));
    if (chosen) edit->ChangeValue(FieldValue(*chosen));
}

void HConfigDialog::OnBrowseViewer(wxCommandEvent&) {
    wxTextCtrl* edit = Edit(pages_[4], ids::kRawViewerEdit);
    const auto chosen = platform::ShowOpenFileDialog(
        this, "", strings::Tr(text::kExeFilter), platform::PathFromText(edit->GetValue()),
        platform::kFileMustExist | platform::kExecutableFilter);
    if (chosen) edit->ChangeValue(FieldValue(*chosen));
}

void ShowConfigurationDialog(wxWindow* parent) {
    HConfigDialog dialog(parent);
    dialog.ShowModal();
}
