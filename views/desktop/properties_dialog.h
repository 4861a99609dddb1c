#pragma once
// HPropertiesDialog (dialog 138, "MPEG Audio File Properties"): the size of
// one file and, for MPEG audio, its version, layer, bit rate, sample rate,
// channel mode, duration, title and artist.
#include <string>

#include <wx/dialog.h>

class HPropertiesDialog : public wxDialog {
public:
    // Reads the file at once; typeName is shown for files that are not MPEG audio.
    HPropertiesDialog(wxWindow* parent, const std::string& path, const std::string& typeName);
};
