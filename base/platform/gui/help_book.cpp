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
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/module.h>
#include <wx/weakref.h>

#include <gtk/gtk.h>

namespace platform {

namespace {

// The toolkit's controller shows its window, asked while a modal dialog is
// open, with a grab in an event loop of its own inside the dialog's: the
// dialog then takes no input and cannot end while the help is open. This one
// shows the window without either.
class HelpController : public wxHtmlHelpController {
public:
    using wxHtmlHelpController::wxHtmlHelpController;

    bool ShowPage(const std::string& page) {
        CreateHelpWindow();
        wxHtmlHelpWindow* window = GetHelpWindow();
        if (!window) return false;
        return page.empty() ? window->DisplayContents() : window->Display(wxString::FromUTF8(page));
    }
};

// One help window for the program, made with the top-level window it was
// asked from as its parent. It goes when that window is hidden or destroyed,
// and when help is asked from another window; it is closed and freed with
// the toolkit at the latest.
struct HelpBook {
    std::unique_ptr<HelpController> controller;
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
    if (help.controller) {
        // A window still open is deleted later, after the controller: it must
        // not call back into it then. A window gone with its parent must not
        // be touched by the controller.
        if (auto* frame = dynamic_cast<wxHtmlHelpFrame*>(help.frame.get())) {
            frame->SetController(nullptr);
            frame->Destroy();
        }
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

// A modal dialog takes all input of its window group: the help window lives
// in a group of its own, so that both it and the dialog take input.
void LetBothWindowsWork(wxWindow* frame) {
    GtkWidget* widget = frame->GetHandle();
    if (!widget || !GTK_IS_WINDOW(widget)) return;
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
    const auto& controller = Help().controller;
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
    wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
    HelpBook& help = Help();
    if (help.controller && (help.book != book || help.parent.get() != top)) Forget();
    if (!help.controller) {
        help.controller =
            std::make_unique<HelpController>(wxHF_DEFAULT_STYLE | wxHF_MERGE_BOOKS, top);
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
    const bool shown = help.controller->ShowPage(page);
    help.frame = help.controller->GetFrame();
    if (help.frame) LetBothWindowsWork(help.frame.get());
    NameHelpParts();
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
