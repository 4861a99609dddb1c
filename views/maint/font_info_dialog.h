#pragma once
// Dialog 149 "KD5200 LCD Font Information": the name and size of the font
// the player holds, read-only, with a Close button.
#include <wx/dialog.h>

class wxTextCtrl;

class HFontInfoDialog : public wxDialog {
public:
    explicit HFontInfoDialog(wxWindow* parent);

    // Reads the player's font into the fields; false (the library's message
    // shown) when there is no player or no font.
    bool ReadFont();

private:
    wxTextCtrl* size_;
    wxTextCtrl* fileName_;
};

// Runs the dialog modally when the player's font can be read; without a
// font only the library's message appears.
void ShowFontInformation(wxWindow* parent);
