#include "views/desktop/filter_combo.h"

#include "base/platform/gui/accessibility.h"
#include "base/platform/gui/shell_info.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

#include <strings.h>

namespace {

// What the combo chooses, as a screen reader names it.
constexpr const char* kFilterName = SD_TEXT("File Filter");

} // namespace

bool HFilterCombo::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    if (!wxChoice::Create(parent, id, pos, size)) return false;
    platform::ShellInfo& shell = platform::CurrentShellInfo();
    wxString mp3 = wxString::FromUTF8(strings::Load(sid::kMp3Files));
    const std::string type = shell.TypeName("x.mp3", false);
    if (!type.empty()) mp3 += " - " + wxString::FromUTF8(type);
    Append(mp3);
    Append(wxString::FromUTF8(strings::Load(sid::kAllFiles)));
    ShowFilter(settings::GetFileFilter());
    platform::SetAccessibleName(this, wxString::FromUTF8(strings::Tr(kFilterName)));
    Bind(wxEVT_CHOICE, &HFilterCombo::OnSelect, this);
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
