#include "base/platform/gui/help_book.h"

#include "base/platform/gui/accessibility.h"
#include "base/platform/gui/help_page.h"
#include "base/platform/help_contents.h"
#include "base/platform/help_language.h"
#include "base/platform/help_search.h"
#include "base/platform/install_layout.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/resources/strings.h"

#include <wx/button.h>
#include <wx/dataview.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/module.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stopwatch.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

namespace platform {

namespace {

// A path as a file URL: every byte outside the unreserved characters is
// percent-encoded, so that any file name reaches the page as it is.
std::string FileUrl(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The path of a file URL (without its anchor), "" for any other URL.
std::string PathOfUrl(const std::string& text) {
    if (text.rfind("file://", 0) != 0) return "";
    return Unescape(text.substr(7, text.find('#') == std::string::npos ? std::string::npos
                                                                       : text.find('#') - 7));
}

// The help window: the contents, index and search beside the page. Its events stay with it: the
// window it was asked from (a dialog waiting for its answer) never sees the keys pressed in the
// help.
class HelpFrame : public wxFrame {
public:
    HelpFrame(wxWindow* parent, std::string folder)
        : wxFrame(parent, wxID_ANY, wxString::FromUTF8(strings::Tr("Songdock Help")), wxDefaultPosition, wxSize(900, 640)),
          folder_(std::move(folder)) {
        // Its events stay with it; and it closes when asked by the window
        // manager (Alt+F4) even while a dialog is modal, as a dialog does.
        SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS | wxTOPLEVEL_EX_DIALOG);
        Build();
        Bind(wxEVT_CHAR_HOOK, &HelpFrame::OnKey, this);
        focusTop_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { FocusTop(); });
        g_signal_connect(GetHandle(), "set-focus", G_CALLBACK(OnFocusMoves), this);
    }

    bool Usable() const { return page_ != nullptr; }
    const std::string& WhyUnusable() const { return pageMissing_; }

    // Shows page; the page shown already is not loaded again, which would
    // put it twice into the history that Back goes through.
    void ShowPage(const std::string& page) {
        const std::string file = page.empty() ? "index.html" : page;
        const size_t hash = file.find('#');
        const std::string url =
            FileUrl(LocalizedHelpFile(folder_, HelpLanguage(), file.substr(0, hash))) +
            (hash == std::string::npos ? "" : file.substr(hash));
        if (page_->Url() != url) page_->Load(url);
    }

    // Puts the keyboard on the page as Tab into it does, so that the page's
    // own Tab goes from link to link (a page merely given the focus passes
    // Tab on to the next control). Done again once the page has loaded.
    void FocusPage() {
        focusOnLoad_ = true;
        EnterPage();
    }

    // The file name and anchor of the page shown.
    std::string Page() const {
        const std::string url = page_->Url();
        const size_t hash = url.find('#');
        const std::string path = PathOfUrl(url);
        const size_t slash = path.rfind('/');
        return (slash == std::string::npos ? path : path.substr(slash + 1)) +
               (hash == std::string::npos ? "" : url.substr(hash));
    }

    const std::string& Folder() const { return folder_; }

private:
    void Build() {
        auto* panel = new wxPanel(this);
        auto* top = new wxBoxSizer(wxVERTICAL);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        auto* back = new wxButton(panel, wxID_BACKWARD, wxString::FromUTF8(strings::Tr("Back")));
        auto* forward = new wxButton(panel, wxID_FORWARD, wxString::FromUTF8(strings::Tr("Forward")));
        buttons->Add(back, 0, wxRIGHT, 6);
        buttons->Add(forward);
        top->Add(buttons, 0, wxALL, 6);

        // The contents, index and search are shown together, one above the
        // other, each read by its heading.
        announcer_ = std::make_unique<Announcer>(panel);
        auto* body = new wxBoxSizer(wxHORIZONTAL);
        auto* column = new wxBoxSizer(wxVERTICAL);
        BuildContents(panel, column);
        BuildIndex(panel, column);
        BuildSearch(panel, column);
        body->Add(column, 0, wxEXPAND | wxRIGHT, 6);

        HelpPageEvents events;
        events.navigating = [this](const std::string& url) { return OnNavigating(url); };
        events.loaded = [this] { OnLoaded(); };
        page_ = NewHelpPage(panel, std::move(events), pageMissing_);
        if (page_) {
            SetAccessibleName(page_->Window(), wxString::FromUTF8(strings::Tr("Help page")));
            WatchPageKeys(page_->Window()->GetHandle(), this);
            body->Add(page_->Window(), 1, wxEXPAND);
        }
        top->Add(body, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
        panel->SetSizer(top);

        back->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            if (page_ && page_->CanGoBack()) page_->GoBack();
        });
        forward->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            if (page_ && page_->CanGoForward()) page_->GoForward();
        });
    }

    // A heading above a list, naming it.
    static void AddHeaded(wxWindow* parent, wxSizer* column, const char* heading, wxWindow* list,
                          int proportion) {
        auto* label = new wxStaticText(parent, wxID_ANY, wxString::FromUTF8(heading));
        column->Add(label, 0, wxTOP | wxBOTTOM, 4);
        column->Add(list, proportion, wxEXPAND);
        SetLabelFor(label, list);
        SetAccessibleName(list, wxString::FromUTF8(heading));
    }

    void BuildContents(wxWindow* parent, wxSizer* column) {
        topics_ = ReadHelpTopics(LocalizedHelpFile(folder_, HelpLanguage(), "toc.hhc"));
        auto* tree = new wxDataViewTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(250, 180),
                                            wxDV_NO_HEADER | wxDV_SINGLE);
        std::vector<wxDataViewItem> open; // the container at each depth
        for (size_t i = 0; i < topics_.size(); ++i) {
            const HelpTopic& topic = topics_[i];
            const int depth = std::min<int>(topic.depth, static_cast<int>(open.size()));
            open.resize(static_cast<size_t>(depth));
            const wxDataViewItem under = open.empty() ? wxDataViewItem() : open.back();
            const bool container = i + 1 < topics_.size() && topics_[i + 1].depth > topic.depth;
            const wxString name = wxString::FromUTF8(topic.name);
            const wxDataViewItem item =
                container ? tree->AppendContainer(under, name) : tree->AppendItem(under, name);
            items_.push_back(item);
            if (container) open.push_back(item);
        }
        for (const wxDataViewItem& item : items_)
            if (tree->IsContainer(item)) tree->Expand(item);
        auto open_page = [this, tree](bool focus) {
            const auto at = std::find(items_.begin(), items_.end(), tree->GetSelection());
            if (at == items_.end()) return;
            ShowPage(topics_[static_cast<size_t>(at - items_.begin())].local);
            if (focus) FocusPage();
        };
        tree->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED,
                   [open_page](wxDataViewEvent&) { open_page(false); });
        tree->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED,
                   [open_page](wxDataViewEvent&) { open_page(true); });
        AddHeaded(parent, column, strings::Tr("Contents"), tree, 3);
    }

    void BuildIndex(wxWindow* parent, wxSizer* column) {
        keywords_ = ReadHelpTopics(LocalizedHelpFile(folder_, HelpLanguage(), "index.hhk"));
        auto* list = new wxListBox(parent, wxID_ANY, wxDefaultPosition, wxSize(250, 140));
        for (const HelpTopic& keyword : keywords_)
            list->Append(wxString::FromUTF8(keyword.name));
        BindOpen(list, [this](int n) { return keywords_[static_cast<size_t>(n)].local; });
        AddHeaded(parent, column, strings::Tr("Index"), list, 2);
    }

    void BuildSearch(wxWindow* parent, wxSizer* column) {
        auto* label = new wxStaticText(parent, wxID_ANY, wxString::FromUTF8(strings::Tr("Search for:")));
        query_ = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                wxTE_PROCESS_ENTER);
        SetLabelFor(label, query_);
        auto* find = new wxButton(parent, wxID_FIND, wxString::FromUTF8(strings::Tr("Search")));
        found_ = new wxStaticText(parent, wxID_ANY, "");
        results_ = new wxListBox(parent, wxID_ANY, wxDefaultPosition, wxSize(250, 100));
        SetAccessibleName(results_, wxString::FromUTF8(strings::Tr("Search results")));
        BindOpen(results_, [this](int n) { return hits_[static_cast<size_t>(n)].page; });
        query_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { Search(); });
        find->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Search(); });
        column->Add(label, 0, wxTOP | wxBOTTOM, 4);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(query_, 1, wxRIGHT, 4);
        row->Add(find);
        column->Add(row, 0, wxEXPAND);
        column->Add(found_, 0, wxTOP | wxBOTTOM, 4);
        column->Add(results_, 1, wxEXPAND);
    }

    // A list's row opens its page when chosen; Enter or a double click
    // also moves the keyboard to the page, to be read.
    template <typename PageOf> void BindOpen(wxListBox* list, PageOf pageOf) {
        list->Bind(wxEVT_LISTBOX, [this, list, pageOf](wxCommandEvent&) {
            if (list->GetSelection() != wxNOT_FOUND) ShowPage(pageOf(list->GetSelection()));
        });
        list->Bind(wxEVT_LISTBOX_DCLICK, [this, list, pageOf](wxCommandEvent&) {
            if (list->GetSelection() == wxNOT_FOUND) return;
            ShowPage(pageOf(list->GetSelection()));
            FocusPage();
        });
    }

    void Search() {
        std::vector<std::string> pages;
        for (const auto* topics : {&topics_, &keywords_})
            for (const HelpTopic& topic : *topics) {
                const std::string page = topic.local.substr(0, topic.local.find('#'));
                if (std::find(pages.begin(), pages.end(), page) == pages.end())
                    pages.push_back(page);
            }
        hits_ =
            SearchHelp(folder_, HelpLanguage(), pages, query_->GetValue().ToStdString(wxConvUTF8));
        results_->Clear();
        for (const HelpHit& hit : hits_)
            results_->Append(wxString::FromUTF8(hit.title));
        found_->SetLabel(hits_.empty() ? wxString::FromUTF8(strings::Tr("No page found"))
                                       : wxString::Format(wxString::FromUTF8(strings::Tr("%zu page(s) found")), hits_.size()));
        SetAccessibleDescription(results_, found_->GetLabel());
        if (!hits_.empty()) {
            results_->SetSelection(0);
            results_->SetFocus();
            ShowPage(hits_[0].page);
        }
    }

    // A Tab past the page's last link moves the keyboard on twice: the page
    // hands it to the next control, then the same Tab, given back unused,
    // moves it once more. That second move, right after the first, is
    // kept from happening, so that the control after the page is reached.
    static void OnFocusMoves(GtkWindow* window, GtkWidget* to, gpointer self) {
        auto* frame = static_cast<HelpFrame*>(self);
        if (!frame->page_) return;
        GtkWidget* page = frame->page_->Window()->GetHandle();
        auto inPage = [page](GtkWidget* w) {
            return w && (w == page || gtk_widget_is_ancestor(w, page));
        };
        GtkWidget* from = gtk_window_get_focus(window);
        const bool recent = wxGetLocalTimeMillis() - frame->leftPage_ < 100;
        if (inPage(from) && !inPage(to)) {
            frame->leftPage_ = wxGetLocalTimeMillis();
            frame->landed_ = to;
        } else if (recent && !from && !frame->landed_) {
            frame->landed_ = to;
        } else if (recent && from && from == frame->landed_ && to && !inPage(to)) {
            g_signal_stop_emission_by_name(window, "set-focus");
            frame->leftPage_ = 0;
            frame->landed_ = nullptr;
        }
    }

    // Alt+Left and Alt+Right go back and forward, also on the page, which
    // takes them for itself otherwise: they are caught before it sees them.
    static gboolean OnPageKey(GtkWidget*, GdkEventKey* event, gpointer self) {
        auto* frame = static_cast<HelpFrame*>(self);
        const guint modifiers = event->state & gtk_accelerator_get_default_mod_mask();
        if (modifiers != GDK_MOD1_MASK) return FALSE;
        if (event->keyval == GDK_KEY_Left || event->keyval == GDK_KEY_KP_Left) {
            if (frame->page_->CanGoBack()) frame->page_->GoBack();
            return TRUE;
        }
        if (event->keyval == GDK_KEY_Right || event->keyval == GDK_KEY_KP_Right) {
            if (frame->page_->CanGoForward()) frame->page_->GoForward();
            return TRUE;
        }
        return FALSE;
    }

    static void WatchPageKeys(GtkWidget* widget, gpointer self) {
        g_signal_connect(widget, "key-press-event", G_CALLBACK(OnPageKey), self);
        if (GTK_IS_CONTAINER(widget))
            gtk_container_forall(GTK_CONTAINER(widget), WatchPageKeys, self);
    }

    // Escape ends the help, as it ends a dialog; Alt+F4 closes it too where
    // no window manager does.
    void OnKey(wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        const int modifiers = event.GetModifiers();
        if (modifiers == wxMOD_ALT && (key == WXK_LEFT || key == WXK_RIGHT)) {
            if (key == WXK_LEFT && page_->CanGoBack()) page_->GoBack();
            if (key == WXK_RIGHT && page_->CanGoForward()) page_->GoForward();
        } else if ((key == WXK_ESCAPE && modifiers == wxMOD_NONE) ||
                   (key == WXK_F4 && modifiers == wxMOD_ALT)) {
            Close();
        } else {
            event.Skip();
        }
    }

    // A link to a page the chosen language lacks opens the English page;
    // links out of the help are not followed inside it.
    bool OnNavigating(const std::string& text) {
        const std::string path = PathOfUrl(text);
        if (path.empty()) return text.rfind("about:", 0) == 0;
        if (PathExists(path)) return true;
        const size_t slash = path.rfind('/');
        const std::string english = folder_ + "/" + path.substr(slash + 1);
        if (english == path || !PathExists(english)) return true;
        const size_t hash = text.find('#');
        CallAfter([this, english, anchor = hash == std::string::npos ? "" : text.substr(hash)] {
            page_->Load(FileUrl(english) + anchor);
        });
        return false;
    }

    void EnterPage() {
        GtkWidget* view = page_->Window()->GetHandle();
        GtkWidget* top = gtk_widget_get_toplevel(view);
        if (GTK_IS_WINDOW(top)) gtk_window_set_focus(GTK_WINDOW(top), nullptr);
        gtk_widget_child_focus(view, GTK_DIR_TAB_FORWARD);
    }

    // A page asked for with the keyboard on it gets the keyboard at its
    // top, so that a screen reader reads it from there (say-all) and Tab
    // goes on to the links below.
    void OnLoaded() {
        if (!focusOnLoad_) return;
        focusOnLoad_ = false;
        FocusDocument();
    }

    // The page's title, said by a screen reader: a page opened is heard by
    // its title, as a browser's page is on load (the screen reader says
    // nothing of the heading the keyboard lands on).
    void TellTitle() {
        const std::string title = page_->Title();
        if (!title.empty()) announcer_->Announce(wxString::FromUTF8(title));
    }

    void FocusDocument() {
        EnterPage();
        // The page takes the keyboard in a moment; then the part its anchor
        // names is focused, else its heading (the body where it has none),
        // without putting it into the Tab order.
        focusTop_.StartOnce(300);
    }

    void FocusTop() {
        TellTitle();
        page_->RunScript(
            "(function() { var id = decodeURIComponent(location.hash.slice(1));"
            " var top = id && document.getElementById(id);"
            " if (top && !top.textContent.trim() && top.parentElement) top = top.parentElement;"
            " top = top || document.querySelector('h1') || document.body;"
            " if (!top.hasAttribute('tabindex')) top.tabIndex = -1;"
            " top.focus();"
            // The caret goes to the part's start too: a screen reader reads
            // from the caret and follows it. It hears of the caret only once
            // the web engine's accessible tree is up, which on a busy machine
            // can be seconds after the page loaded (until then it would start
            // reading at the page's frame, where say-all finds nothing). So
            // the caret is put there again a few times in the next ten
            // seconds, only while the person has not moved: no key or click
            // in the page, the focus and the caret where they were. Putting
            // it where the reader has it already says nothing.
            " var sel = getSelection(), n = 0, at, off;"
            " function land() {"
            "  sel.collapse(top, top.childNodes.length); sel.collapse(top, 0);"
            "  at = sel.anchorNode; off = sel.anchorOffset; }"
            " function moved() { n = 99; }"
            " land();"
            " ['keydown', 'mousedown', 'wheel'].forEach(function(e) { addEventListener(e, moved, true); });"
            " function again() {"
            "  if (++n > 6 || document.activeElement !== top || sel.anchorNode !== at || sel.anchorOffset !== off) return;"
            "  if (document.hasFocus()) land();"
            "  setTimeout(again, n * 500); }"
            " setTimeout(again, 500); })()");
    }

    std::string folder_;
    bool focusOnLoad_ = false;
    wxTimer focusTop_;
    wxLongLong leftPage_ = 0;     // when the keyboard last left the page
    GtkWidget* landed_ = nullptr; // where it went then
    std::unique_ptr<HelpPage> page_;
    std::string pageMissing_; // why there is no page
    std::unique_ptr<Announcer> announcer_;
    std::vector<HelpTopic> topics_, keywords_;
    std::vector<wxDataViewItem> items_;
    std::vector<HelpHit> hits_;
    wxTextCtrl* query_ = nullptr;
    wxStaticText* found_ = nullptr;
    wxListBox* results_ = nullptr;
};

// One help window for the program, made with the top-level window it was
// asked from as its parent. It goes when that window is hidden or destroyed,
// and when help is asked from another window.
struct HelpBook {
    wxWeakRef<wxWindow> parent;
    wxWeakRef<HelpFrame> frame;
};
HelpBook& Help() {
    static HelpBook help;
    return help;
}

// The help window unless it is closing.
HelpFrame* OpenFrame() {
    HelpFrame* frame = Help().frame.get();
    if (!frame || frame->IsBeingDeleted() || wxPendingDelete.Member(frame)) return nullptr;
    return frame;
}

void OnParentShow(wxShowEvent& event);
void OnParentDestroy(wxWindowDestroyEvent& event);

void Forget() {
    HelpBook& help = Help();
    if (wxWindow* parent = help.parent.get()) {
        parent->Unbind(wxEVT_SHOW, &OnParentShow);
        parent->Unbind(wxEVT_DESTROY, &OnParentDestroy);
    }
    if (HelpFrame* frame = help.frame.get()) frame->Destroy();
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
        MessageBox(parent, strings::Tr("The help file cannot be found:") + tried, "", kMbOk | kMbIconWarning);
        return false;
    }
    const std::string folder = book.substr(0, book.rfind('/'));
    wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
    HelpBook& help = Help();
    if (!OpenFrame() || help.frame->Folder() != folder || help.parent.get() != top) Forget();
    if (!help.frame) {
        auto* frame = new HelpFrame(top, folder);
        if (!frame->Usable()) {
            const std::string why = frame->WhyUnusable();
            frame->Destroy();
            MessageBox(parent, std::string(strings::Tr("The help cannot be shown: no web view is installed.")) + "\n" + why, "",
                       kMbOk | kMbIconWarning);
            return false;
        }
        help.frame = frame;
        help.parent = top;
        if (top) {
            top->Bind(wxEVT_SHOW, &OnParentShow);
            top->Bind(wxEVT_DESTROY, &OnParentDestroy);
        }
        frame->Show();
        LetBothWindowsWork(frame);
    }
    HelpFrame* frame = help.frame.get();
    frame->ShowPage(page);
    frame->Raise();
    frame->FocusPage();
    return true;
}

void CloseHelpBook() {
    Forget();
}

bool ShowHelpBook(wxWindow* parent, const std::string& page) {
    return ShowHelpBookFrom(parent, {CurrentDirectory(), DataDirectory()}, page);
}

wxWindow* HelpBookWindow() {
    return OpenFrame();
}

std::string HelpBookPage() {
    HelpFrame* frame = OpenFrame();
    return frame ? frame->Page() : "";
}

} // namespace platform
