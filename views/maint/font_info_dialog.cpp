#include "views/maint/font_info_dialog.h"

#include "base/platform/gui/accessibility.h"

#include <cstring>

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "lib/maint/lcd_font.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

HFontInfoDialog::HFontInfoDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(strings::Tr(text::kFontInfoTitle))) {
    auto* grid = new wxFlexGridSizer(2, wxSize(8, 8));
    grid->AddGrowableCol(1);
    auto* sizeLabel = new wxStaticText(this, wxID_ANY, strings::Tr(text::kFontSize));
    grid->Add(sizeLabel, 0, wxALIGN_CENTER_VERTICAL);
    size_ = new wxTextCtrl(this, ids::kFontSizeEdit, "", wxDefaultPosition, wxDefaultSize,
                           wxTE_READONLY);
    grid->Add(size_, 1, wxEXPAND);
    auto* fileLabel = new wxStaticText(this, wxID_ANY, strings::Tr(text::kFontFileName));
    grid->Add(fileLabel, 0, wxALIGN_CENTER_VERTICAL);
    fileName_ = new wxTextCtrl(this, ids::kFontFileNameEdit, "", wxDefaultPosition, wxSize(280, -1),
                               wxTE_READONLY);
    grid->Add(fileName_, 1, wxEXPAND);
    platform::SetLabelFor(sizeLabel, size_);
    platform::SetLabelFor(fileLabel, fileName_);

    auto* close = new wxButton(this, ids::kIdCancel, strings::Tr(text::kClose));
    close->SetDefault();
    SetEscapeId(ids::kIdCancel);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 12);
    top->Add(close, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    CentreOnParent();
}

bool HFontInfoDialog::ReadFont() {
    KD5200_FONTINFO font{};
    if (maint::ReadLcdFontInfo(&font) != 0) return false;
    size_->ChangeValue(wxString::Format("%d", static_cast<int>(font.size)));
    fileName_->ChangeValue(
        platform::PathToDisplayText(std::string_view(font.fileName, strnlen(font.fileName, 259))));
    return true;
}

void ShowFontInformation(wxWindow* parent) {
    HFontInfoDialog dialog(parent);
    if (dialog.ReadFont()) dialog.ShowModal();
}
