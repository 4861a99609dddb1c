#pragma once
// HFilterCombo: the file filter of the desktop listing, in the main window's
// rebar. Item 0 is "*.mp3" files (with the desktop's type name and icon of
// .mp3 files when it knows them), item 1 all files. Choosing an item sets
// the file filter in the settings store; the wxEVT_COMBOBOX event then goes
// on to the parent, which re-lists the panes. The combo draws its items
// itself, so that it holds no native entry that keys could reach.
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/odcombo.h>

class HFilterCombo : public wxOwnerDrawnComboBox {
public:
    HFilterCombo() = default;
    // A read-only combo with the two filters, 250 wide unless size says otherwise.
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxSize(250, -1));

    // Selects item 0 for "*.mp3" (letter case ignored) and item 1 otherwise,
    // without changing the stored filter.
    void ShowFilter(const std::string& filter);
    // The filter of an item: "*.mp3" or "*.*".
    static const char* FilterOf(int item);

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const override;
    wxCoord OnMeasureItem(size_t item) const override;

private:
    void OnSelect(wxCommandEvent& event);

    std::vector<wxBitmap> icons_; // per item; may be invalid
};
