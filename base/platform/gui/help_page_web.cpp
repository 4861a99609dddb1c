// The help page module: the toolkit's web view over the web engine, loaded
// by the program when help is first shown.
#include "base/platform/gui/help_page_module.h"

#include <wx/weakref.h>
#include <wx/webview.h>

#include <webkit2/webkit2.h>

namespace platform {

namespace {

class WebHelpPage : public HelpPage {
public:
    WebHelpPage(wxWindow* parent, HelpPageEvents events) : events_(std::move(events)) {
        // The page takes Tab itself, to go from link to link; past its last
        // link the keyboard goes on to the window's next control.
        view_ = wxWebView::New(parent, wxID_ANY, wxWebViewDefaultURLStr, wxDefaultPosition,
                               wxSize(560, 480), wxWebViewBackendDefault, wxWANTS_CHARS);
        view_->EnableContextMenu(false);
        view_->Bind(wxEVT_WEBVIEW_NAVIGATING, &WebHelpPage::OnNavigating, this);
        view_->Bind(wxEVT_WEBVIEW_LOADED, &WebHelpPage::OnLoaded, this);
    }
    ~WebHelpPage() override {
        // The view outlives this object while its window is being closed.
        if (wxWebView* view = view_.get()) {
            view->Unbind(wxEVT_WEBVIEW_NAVIGATING, &WebHelpPage::OnNavigating, this);
            view->Unbind(wxEVT_WEBVIEW_LOADED, &WebHelpPage::OnLoaded, this);
        }
    }

    wxWindow* Window() override { return view_; }
    std::string Url() const override { return view_->GetCurrentURL().ToStdString(wxConvUTF8); }
    std::string Title() const override { return view_->GetCurrentTitle().ToStdString(wxConvUTF8); }
    void Load(const std::string& url) override { view_->LoadURL(wxString::FromUTF8(url)); }
    bool CanGoBack() const override { return view_->CanGoBack(); }
    bool CanGoForward() const override { return view_->CanGoForward(); }
    void GoBack() override { view_->GoBack(); }
    void GoForward() override { view_->GoForward(); }

    void RunScript(const std::string& script) override {
        // Run without a reply: the view may be closed before the script ends,
        // and a reply would then reach a view that is gone. The web engine
        // holds its own reference to the view while it runs.
        auto* view = static_cast<WebKitWebView*>(view_ ? view_->GetNativeBackend() : nullptr);
        if (!view) return;
        webkit_web_view_evaluate_javascript(view, script.c_str(), -1, nullptr, nullptr, nullptr,
                                            nullptr, nullptr);
    }

private:
    void OnNavigating(wxWebViewEvent& event) {
        if (events_.navigating && !events_.navigating(event.GetURL().ToStdString(wxConvUTF8)))
            event.Veto();
    }
    void OnLoaded(wxWebViewEvent& event) {
        event.Skip();
        if (events_.loaded) events_.loaded();
    }

    HelpPageEvents events_;
    wxWeakRef<wxWebView> view_; // owned by its parent window
};

} // namespace

} // namespace platform

extern "C" __attribute__((visibility("default"))) platform::HelpPage*
sd_new_help_page(wxWindow* parent, platform::HelpPageEvents* events) {
    if (!wxWebView::IsBackendAvailable(wxWebViewBackendDefault)) return nullptr;
    return new platform::WebHelpPage(parent, std::move(*events));
}
