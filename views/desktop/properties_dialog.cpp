#include "views/desktop/properties_dialog.h"

#include "lib/mpeg/properties_text.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

HPropertiesDialog::HPropertiesDialog(wxWindow* parent, const std::string& path,
                                     const std::string& typeName)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(strings::Tr(text::kPropertiesTitle))) {
    const mpeg::PropertiesText info = mpeg::DescribeFile(path, typeName);
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, wxString::FromUTF8(strings::Tr(text::kMpegInformation)));
    auto* grid = new wxFlexGridSizer(2, wxSize(12, 8));
    grid->AddGrowableCol(1);
    wxWindow* boxWindow = box->GetStaticBox();
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, wxString::FromUTF8(strings::Tr("File"))));
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, platform::PathToDisplayText(name)));
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, wxString::FromUTF8(strings::Tr(text::kSizeInfo))));
    grid->Add(new wxStaticText(boxWindow, ids::kSizeInfo, wxString::FromUTF8(info.sizeInfo)));
    grid->Add(new wxStaticText(boxWindow, wxID_ANY, wxString::FromUTF8(strings::Tr(text::kVersionInfo))));
    grid->Add(new wxStaticText(boxWindow, ids::kVersionInfo,
                               wxString::FromUTF8(info.versionInfo.c_str())));
    box->Add(grid, 1, wxEXPAND | wxALL, 8);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(box, 1, wxEXPAND | wxALL, 10);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM,
             10);
    SetSizerAndFit(top);
    SetMinSize(wxSize(360, -1));
    Fit();
    CentreOnParent();
}
