#include "views/desktop/filter_combo.h"

#include "base/platform/gui/shell_info.h"
#include "base/platform/path_text.h"
#include "base/resources/ids.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

#include <algorithm>

#include <strings.h>

#include <wx/dc.h>
#include <wx/settings.h>

bool HFilterCombo::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
    if (!wxOwnerDrawnComboBox::Create(parent, id, wxString(), pos, size, 0, nullptr,
                                      wxCB_READONLY))
        return false;
    platform::ShellInfo& shell = platform::CurrentShellInfo();
    wxString mp3 = wxString::FromUTF8(strings::Load(sid::kMp3Files));
    const std::string type = shell.TypeName("x.mp3", false);
    if (!type.empty()) mp3 += " - " + wxString::FromUTF8(type);
    const wxBitmap icon = shell.Icon("x.mp3", false, 16);
    icons_ = {icon, wxNullBitmap};
    Append(mp3);
    Append(wxString::FromUTF8(strings::Load(sid::kAllFiles)));
    ShowFilter(settings::GetFileFilter());
    Bind(wxEVT_COMBOBOX, &HFilterCombo::OnSelect, this);
    return true;
}

void HFilterCombo::ShowFilter(const std::string& filter) {
    SetSelection(strcasecmp(filter.c_str(), text::kMp3Filter) == 0 ? 0 : 1);
}

void HFilterCombo::OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const {
    if (item < 0 || static_cast<size_t>(item) >= GetCount()) return;
    int x = rect.x + 2;
    const bool list = !(flags & wxODCB_PAINTING_CONTROL);
    if (list && (flags & wxODCB_PAINTING_SELECTED))
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT));
    else
        dc.SetTextForeground(GetForegroundColour());
    if (static_cast<size_t>(item) < icons_.size() && icons_[item].IsOk())
        dc.DrawBitmap(icons_[item], x, rect.y + (rect.height - icons_[item].GetHeight()) / 2, true);
    x += 20;
    const wxString label = GetString(item);
    dc.DrawText(label, x, rect.y + (rect.height - dc.GetCharHeight()) / 2);
}

wxCoord HFilterCombo::OnMeasureItem(size_t) const {
    return std::max(GetCharHeight() + 6, 20);
}

const char* HFilterCombo::FilterOf(int item) {
    return item == 0 ? text::kMp3Filter : text::kAllFilter;
}

void HFilterCombo::OnSelect(wxCommandEvent& event) {
    if (GetSelection() >= 0) settings::SetFileFilter(FilterOf(GetSelection()));
    event.Skip(); // the frame re-lists the panes
}
