#include "base/platform/gui/help_book.h"

#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/notebook.h>
#include <wx/treectrl.h>

#include "base/platform/gui/accessibility.h"

#include "base/platform/install_layout.h"
#include "base/platform/message_box.h"
#include "base/platform/path_text.h"
#include "base/platform/paths.h"

#include <memory>

#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/module.h>

namespace platform {

namespace {

// One help window for the program; it is closed and freed with the toolkit.
std::unique_ptr<wxHtmlHelpController>& Controller() {
    static std::unique_ptr<wxHtmlHelpController> controller;
    return controller;
}
std::string& LoadedBook() {
    static std::string book;
    return book;
}

class HelpBookModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override {
        Controller().reset();
        LoadedBook().clear();
    }

private:
    wxDECLARE_DYNAMIC_CLASS(HelpBookModule);
};
wxIMPLEMENT_DYNAMIC_CLASS(HelpBookModule, wxModule);

// The notebook page (Contents, Index, Search) that holds a window, or "".
wxString PageOf(wxWindow* window) {
    for (wxWindow* w = window; w && w->GetParent(); w = w->GetParent())
        if (auto* book = dynamic_cast<wxNotebook*>(w->GetParent())) {
            const int page = book->FindPage(w);
            return page == wxNOT_FOUND ? wxString() : book->GetPageText(static_cast<size_t>(page));
        }
    return wxString();
}

// The parts of the help window that the toolkit leaves unnamed are read by
// what they show, or by the page of the navigation that holds them.
void NameHelpParts() {
    const auto& controller = Controller();
    wxHtmlHelpWindow* help = controller ? controller->GetHelpWindow() : nullptr;
    if (!help) return;
    NameByTips(controller->GetFrame());
    std::vector<wxWindow*> windows{help};
    while (!windows.empty()) {
        wxWindow* window = windows.back();
        windows.pop_back();
        for (wxWindow* child : window->GetChildren())
            windows.push_back(child);
        const wxString page = PageOf(window);
        if (dynamic_cast<wxComboBox*>(window))
            SetAccessibleName(window, "Bookmarks");
        else if (!GetAccessibleName(window).empty())
            continue;
        else if (dynamic_cast<wxHtmlWindow*>(window))
            SetAccessibleName(window, "Help page");
        else if (dynamic_cast<wxTreeCtrl*>(window) || dynamic_cast<wxListBox*>(window))
            SetAccessibleName(window, page + " list");
        else if (dynamic_cast<wxTextCtrl*>(window))
            SetAccessibleName(window, page + " field");
        else if (dynamic_cast<wxNotebook*>(window))
            SetAccessibleName(window, "Navigation");
        else if (!page.empty())
            SetAccessibleName(window, page);
        else
            SetAccessibleName(window, "Songdock Help");
    }
}

} // namespace

bool ShowHelpBookFrom(wxWindow* parent, const std::vector<std::string>& folders,
                      const std::string& page) {
    std::string book;
    std::string tried;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + kHelpBookPath;
        if (PathExists(path)) {
            book = path;
            break;
        }
        tried += "\n" + path;
    }
    if (book.empty()) {
        MessageBox(parent, "The help file cannot be found:" + tried, "", kMbOk | kMbIconWarning);
        return false;
    }
    auto& controller = Controller();
    if (!controller || LoadedBook() != book) {
        controller =
            std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE | wxHF_MERGE_BOOKS, parent);
        if (!controller->AddBook(wxFileName(PathToText(book)), false)) {
            controller.reset();
            MessageBox(parent, "The help file cannot be read:\n" + book, "",
                       kMbOk | kMbIconWarning);
            return false;
        }
        LoadedBook() = book;
    }
    const bool shown = page.empty() ? controller->DisplayContents()
                                    : controller->Display(wxString::FromUTF8(page));
    NameHelpParts();
    return shown;
}

bool ShowHelpBook(wxWindow* parent, const std::string& page) {
    return ShowHelpBookFrom(parent, {CurrentDirectory(), DataDirectory()}, page);
}

wxWindow* HelpBookWindow() {
    const auto& controller = Controller();
    return controller ? controller->GetFrame() : nullptr;
}

std::string HelpBookPage() {
    const auto& controller = Controller();
    wxHtmlHelpWindow* window = controller ? controller->GetHelpWindow() : nullptr;
    if (!window || !window->GetHtmlWindow()) return "";
    return PathFromText(wxFileName(window->GetHtmlWindow()->GetOpenedPage()).GetFullName());
}

} // namespace platform
