#include "base/platform/gui/help_book.h"

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
    if (page.empty()) return controller->DisplayContents();
    return controller->Display(wxString::FromUTF8(page));
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
