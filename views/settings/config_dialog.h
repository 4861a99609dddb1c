#pragma once
// Dialog 140 "Configuration": a tree of five pages on the left (HPageList,
// the platform's own tree control, which a screen reader reads) (time-outs,
// ROM selection, ADPCM and QDX conversion, raw data read), the chosen page
// in a group box on the right whose caption is the page's title. Every page
// is filled when the dialog opens and all are saved together on OK; Cancel
// saves nothing. Time-outs go to the device layer at once.
#include <array>
#include <string>

#include <wx/dialog.h>

#include "views/settings/page_list.h"

class wxStaticBox;
class wxWindow;

class HConfigDialog : public wxDialog {
public:
    static constexpr int kPageCount = 5;

    explicit HConfigDialog(wxWindow* parent);
    ~HConfigDialog() override;

    // The page window n (0 to 4) and the page shown now (-1 before the first).
    wxWindow* Page(int n) const { return pages_[n]; }
    int ShownPage() const { return shown_; }
    HPageList* Tree() const { return tree_; }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

private:
    void ShowPage(int n);
    // Whether every field holds what the settings can keep; when one does
    // not, shows its page and a message naming it and gives it the focus.
    bool CheckFields();
    void Refuse(int page, int id, const std::string& message);
    wxWindow* MakePage(int n, wxWindow* parent);

    void OnBrowseRawFile(wxCommandEvent& event);
    void OnBrowseViewer(wxCommandEvent& event);

    HPageList* tree_ = nullptr;
    wxStaticBox* group_ = nullptr;
    std::array<wxWindow*, kPageCount> pages_{};
    int shown_ = -1;

    wxDECLARE_EVENT_TABLE();
};

// Runs the configuration dialog modally (the main window's Option command).
void ShowConfigurationDialog(wxWindow* parent);
