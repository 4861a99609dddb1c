#pragma once
// HFilterCombo: the file filter of the desktop listing, in the main window's
// rebar. Item 0 is "*.mp3" files (with the desktop's type name of .mp3
// files when it knows it), item 1 all files. Choosing an item sets
// the file filter in the settings store; the wxEVT_CHOICE event then goes
// on to the parent, which re-lists the panes. It is the desktop's own
// read-only combo box (no text entry), read by a screen reader as a combo
// box named "File Filter" whose value is the chosen filter.
#include <string>

#include <wx/choice.h>

class HFilterCombo : public wxChoice {
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

private:
    void OnSelect(wxCommandEvent& event);
};
