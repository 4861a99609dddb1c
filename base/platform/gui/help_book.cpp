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
#include <wx/weakref.h>

#include <gtk/gtk.h>

namespace platform {

namespace {

// One help window for the program, made with the top-level window it was
// asked from as its parent. It goes when that window is hidden or destroyed,
// and when help is asked from another window; it is closed and freed with
// the toolkit at the latest.
struct HelpBook {
    std::unique_ptr<wxHtmlHelpController> controller;
    std::string book;
    wxWeakRef<wxWindow> parent;
    wxWeakRef<wxWindow> frame;
};
HelpBook& Help() {
    static HelpBook help;
    return help;
}

void OnParentShow(wxShowEvent& event);
void OnParentDestroy(wxWindowDestroyEvent& event);

void Forget() {
    HelpBook& help = Help();
    if (wxWindow* parent = help.parent.get()) {
        parent->Unbind(wxEVT_SHOW, &OnParentShow);
        parent->Unbind(wxEVT_DESTROY, &OnParentDestroy);
    }
    if (help.controller && !help.frame) {
        // The window went with its parent: the controller must not touch it.
        help.controller->SetHelpWindow(nullptr);
    }
    help.controller.reset();
    help.book.clear();
    help.parent = nullptr;
    help.frame = nullptr;
}

void OnParentShow(wxShowEvent& event) {
    event.Skip();
    if (!event.IsShown() && event.GetEventObject() == Help().parent.get()) Forget();
}

void OnParentDestroy(wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() == Help().parent.get()) Forget();
}

// The toolkit makes the help window take every input while a modal dialog is
// open, which leaves the dialog unusable. The help window drops that grab
// and lives in a window group of its own, outside the dialog's modality, so
// that both windows take input.
void LetBothWindowsWork(wxWindow* frame) {
    GtkWidget* widget = frame->GetHandle();
    if (!widget || !GTK_IS_WINDOW(widget)) return;
    gtk_grab_remove(widget);
    GtkWindowGroup* group = gtk_window_group_new();
    gtk_window_group_add_window(group, GTK_WINDOW(widget));
    g_object_unref(group);
}

class HelpBookModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override { Forget(); }

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
    wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
    HelpBook& help = Help();
    if (help.controller && (help.book != book || help.parent.get() != top)) Forget();
    if (!help.controller) {
        help.controller =
            std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE | wxHF_MERGE_BOOKS, top);
        if (!help.controller->AddBook(wxFileName(PathToText(book)), false)) {
            help.controller.reset();
            MessageBox(parent, "The help file cannot be read:\n" + book, "",
                       kMbOk | kMbIconWarning);
            return false;
        }
        help.book = book;
        help.parent = top;
        if (top) {
            top->Bind(wxEVT_SHOW, &OnParentShow);
            top->Bind(wxEVT_DESTROY, &OnParentDestroy);
        }
    }
    const bool shown = page.empty() ? help.controller->DisplayContents()
                                    : help.controller->Display(wxString::FromUTF8(page));
    help.frame = help.controller->GetFrame();
    if (help.frame) LetBothWindowsWork(help.frame.get());
    return shown;
}

void CloseHelpBook() {
    Forget();
}

bool ShowHelpBook(wxWindow* parent, const std::string& page) {
    return ShowHelpBookFrom(parent, {CurrentDirectory(), DataDirectory()}, page);
}

wxWindow* HelpBookWindow() {
    const HelpBook& help = Help();
    return help.controller && help.frame ? help.controller->GetFrame() : nullptr;
}

std::string HelpBookPage() {
    const auto& controller = Help().controller;
    if (!Help().frame) return "";
    wxHtmlHelpWindow* window = controller ? controller->GetHelpWindow() : nullptr;
    if (!window || !window->GetHtmlWindow()) return "";
    return PathFromText(wxFileName(window->GetHtmlWindow()->GetOpenedPage()).GetFullName());
}

} // namespace platform
