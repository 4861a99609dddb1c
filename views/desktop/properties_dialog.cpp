#include "views/desktop/properties_dialog.h"

#include "lib/mpeg/properties_text.h"
#include "base/platform/gui/accessibility.h"
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
    // Each caption is tied to its value, and the dialog is described by the
    // pairs, so that a screen reader reads them when it opens.
    wxString content;
    const auto addRow = [&](const wxString& caption, int id, const wxString& value) {
        auto* captionText = new wxStaticText(boxWindow, wxID_ANY, caption);
        auto* valueText = new wxStaticText(boxWindow, id, value);
        grid->Add(captionText);
        grid->Add(valueText);
        platform::TieCaption(captionText, valueText);
        content += caption + ": " + value + ".\n";
    };
    addRow(wxString::FromUTF8(strings::Tr("File")), wxID_ANY, platform::PathToDisplayText(name));
    addRow(wxString::FromUTF8(strings::Tr(text::kSizeInfo)), ids::kSizeInfo, wxString::FromUTF8(info.sizeInfo));
    addRow(wxString::FromUTF8(strings::Tr(text::kVersionInfo)), ids::kVersionInfo,
           wxString::FromUTF8(info.versionInfo.c_str()));
    box->Add(grid, 1, wxEXPAND | wxALL, 8);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(box, 1, wxEXPAND | wxALL, 10);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM,
             10);
    SetSizerAndFit(top);
    // The toolkit would read the group's title as the label of Cancel.
    platform::UntieLabels(this);
    platform::DescribeDialog(this, content);
    SetMinSize(wxSize(360, -1));
    Fit();
    CentreOnParent();
}
