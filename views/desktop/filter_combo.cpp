#include "views/desktop/filter_combo.h"

#include "base/platform/gui/shell_info.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

#include <strings.h>

bool HFilterCombo::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    if (!wxBitmapComboBox::Create(parent, id, wxString(), pos, size, 0, nullptr, wxCB_READONLY))
        return false;
    platform::ShellInfo& shell = platform::CurrentShellInfo();
    wxString mp3 = wxString::FromUTF8(strings::Load(sid::kMp3Files));
    const std::string type = shell.TypeName("x.mp3", false);
    if (!type.empty()) mp3 += " - " + wxString::FromUTF8(type);
    const wxBitmap icon = shell.Icon("x.mp3", false, 16);
    Append(mp3, icon.IsOk() ? icon : wxNullBitmap);
    Append(wxString::FromUTF8(strings::Load(sid::kAllFiles)));
    ShowFilter(settings::GetFileFilter());
    Bind(wxEVT_COMBOBOX, &HFilterCombo::OnSelect, this);
    return true;
}

void HFilterCombo::ShowFilter(const std::string& filter) {
    SetSelection(strcasecmp(filter.c_str(), text::kMp3Filter) == 0 ? 0 : 1);
}

const char* HFilterCombo::FilterOf(int item) {
    return item == 0 ? text::kMp3Filter : text::kAllFilter;
}

void HFilterCombo::OnSelect(wxCommandEvent& event) {
    if (GetSelection() >= 0) settings::SetFileFilter(FilterOf(GetSelection()));
    event.Skip(); // the frame re-lists the panes
}
