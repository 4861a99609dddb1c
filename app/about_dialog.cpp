#include "app/about_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "base/platform/gui/accessibility.h"
#include "ui/controls/icons.h"
#include "base/platform/gui/accessibility.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

CAboutDialog::CAboutDialog(wxWindow* parent)
    : wxDialog(parent, ids::kAboutDialog, wxString::FromUTF8(strings::Load(sid::kAppTitle))) {
    auto* lines = new wxBoxSizer(wxVERTICAL);
    lines->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(strings::Tr(text::kAboutVersion))), 0, wxBOTTOM, 6);
    lines->Add(new wxStaticText(
        this, wxID_ANY,
        wxString::FromUTF8(strings::Tr("Files, firmware and fonts for the KD5200 player"))));

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(this, wxID_ANY, controls::LoadIcon(ids::kAppIcon, 32)), 0, wxALL,
             10);
    row->Add(lines, 1, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM, 10);
    // The caption is the same in every language; what a screen reader says
    // is the person's word for it.
    auto* ok = new wxButton(this, wxID_OK, wxString::FromUTF8(text::kAboutOk));
    platform::SetAccessibleName(ok, wxString::FromUTF8(strings::Tr("OK")));
    ok->SetDefault();
    row->Add(ok, 0, wxALL | wxALIGN_TOP, 10);

    SetSizerAndFit(row);
    // Both lines are read when the box opens, neither as the button's label.
    platform::UntieLabels(this);
    CentreOnParent();
}
