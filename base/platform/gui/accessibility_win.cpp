// What a screen reader reads of a window, through MSAA: each window given a
// name, description or role gets an accessible object that answers those
// for the window itself and leaves the rest to the system's standard one.
#include "base/platform/gui/accessibility.h"

#include <wx/access.h>
#include <wx/anybutton.h>
#include <wx/control.h>
#include <wx/dataview.h>
#include <wx/window.h>

#include <wx/msw/wrapwin.h>

#include <optional>
#include <string>

namespace platform {

namespace {

class TextAccessible : public wxWindowAccessible {
public:
    explicit TextAccessible(wxWindow* window) : wxWindowAccessible(window) {}

    wxAccStatus GetName(int childId, wxString* name) override {
        if (childId != wxACC_SELF || !name_) return wxACC_NOT_IMPLEMENTED;
        *name = *name_;
        return wxACC_OK;
    }
    wxAccStatus GetDescription(int childId, wxString* description) override {
        if (childId != wxACC_SELF || !description_) return wxACC_NOT_IMPLEMENTED;
        *description = *description_;
        return wxACC_OK;
    }
    wxAccStatus GetRole(int childId, wxAccRole* role) override {
        if (childId != wxACC_SELF || !role_) return wxACC_NOT_IMPLEMENTED;
        *role = *role_;
        return wxACC_OK;
    }

    std::optional<wxString> name_;
    std::optional<wxString> description_;
    std::optional<wxAccRole> role_;
};

// The window's accessible object of this kind, made when it has none.
TextAccessible* Accessible(wxWindow* window) {
    if (!window) return nullptr;
    if (auto* own = dynamic_cast<TextAccessible*>(window->GetAccessible())) return own;
    auto* made = new TextAccessible(window);
    window->SetAccessible(made); // the window owns it
    return made;
}

wxString NameFromLabel(const wxString& label) {
    wxString name = wxControl::RemoveMnemonics(label);
    name.Trim(true).Trim(false);
    while (name.EndsWith(":")) {
        name.RemoveLast();
        name.Trim(true);
    }
    return name;
}

// Windows screen readers name a control by its window text first, and the
// system's accessible proxies answer with it. A control that draws no text
// of its own (a list, a tree, a drawn control) is given the name as its
// window text; an icon button too, told to draw its image alone (BS_BITMAP:
// the text is then not drawn). Controls whose window text is their content
// (fields, combo boxes, labels) keep it.
void GiveWindowText(wxWindow* window, const wxString& name, const std::optional<wxString>& before) {
    const auto hwnd = static_cast<HWND>(window->GetHWND());
    if (!hwnd) return;
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    const std::wstring kind = cls;
    if (kind == L"Edit" || kind == L"ComboBox" || kind == L"Static" || kind == L"RICHEDIT50W")
        return;
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    // A text of the control's own stays. Replaced are: none, one given here
    // before, and the toolkit's internal name of the window ("comboBox"),
    // which it takes as the window text of the windows it draws itself.
    const bool replaceable = text.empty() || (before && text == before->ToStdWstring()) ||
                             text == window->GetName().ToStdWstring();
    if (!replaceable) return;
    if (kind == L"Button") {
        auto* button = dynamic_cast<wxAnyButton*>(window);
        if (!button || !button->GetBitmap().IsOk()) return;
        SetWindowLongW(hwnd, GWL_STYLE, GetWindowLongW(hwnd, GWL_STYLE) | BS_BITMAP);
    }
    SetWindowTextW(hwnd, name.wc_str());
}

void Notify(wxWindow* window, int event) {
    wxAccessible::NotifyEvent(event, window, wxOBJID_CLIENT, wxACC_SELF);
}

} // namespace

void SetAccessibleName(wxWindow* window, const wxString& name) {
    if (TextAccessible* object = Accessible(window)) {
        GiveWindowText(window, name, object->name_);
        object->name_ = name;
        Notify(window, wxACC_EVENT_OBJECT_NAMECHANGE);
    }
    // A list's rows are read in the window they are drawn in.
    if (auto* view = dynamic_cast<wxDataViewCtrl*>(window))
        if (TextAccessible* rows = Accessible(view->GetMainWindow())) rows->name_ = name;
}

wxString GetAccessibleName(wxWindow* window) {
    auto* object = window ? dynamic_cast<TextAccessible*>(window->GetAccessible()) : nullptr;
    return object && object->name_ ? *object->name_ : wxString();
}

void NameByTips(wxWindow* top) {
    if (!top) return;
    for (wxWindow* child : top->GetChildren()) {
        const wxString tip = child->GetToolTipText();
        if (!tip.empty() && GetAccessibleName(child).empty() && child->GetLabel().empty())
            SetAccessibleName(child, tip);
        NameByTips(child);
    }
}

void SetAccessibleDescription(wxWindow* window, const wxString& description) {
    if (TextAccessible* object = Accessible(window)) {
        object->description_ = description;
        Notify(window, wxACC_EVENT_OBJECT_DESCRIPTIONCHANGE);
    }
}

void SetAccessibleComboRole(wxWindow* window) {
    if (TextAccessible* object = Accessible(window)) object->role_ = wxROLE_SYSTEM_COMBOBOX;
}

void SetLabelFor(wxWindow* label, wxWindow* field) {
    if (label && field) SetAccessibleName(field, NameFromLabel(label->GetLabel()));
}

void SetGroupLabel(const wxString& title, std::initializer_list<wxWindow*> members) {
    const wxString group = NameFromLabel(title);
    for (wxWindow* member : members) {
        if (!member) continue;
        SetAccessibleName(member, group + ": " + NameFromLabel(member->GetLabel()));
        SetAccessibleDescription(member, group);
    }
}

// Windows dialogs are read as dialogs already.
void ReadDialogsAsDialogs() {}

void SetAccessibleStatusBarRole(wxWindow* window) {
    if (TextAccessible* object = Accessible(window)) object->role_ = wxROLE_SYSTEM_STATUSBAR;
}

void SetAccessibleNotificationRole(wxWindow* window) {
    if (TextAccessible* object = Accessible(window)) object->role_ = wxROLE_SYSTEM_ALERT;
}

// A static text names nothing but itself here: the system ties labels to
// fields only where the program says so.
void UntieLabel(wxWindow*) {}
void UntieLabels(wxWindow*) {}

void TieCaption(wxWindow* caption, wxWindow* value) {
    if (caption && value) SetAccessibleDescription(value, NameFromLabel(caption->GetLabel()));
}

void DescribeDialog(wxWindow* dialog, const wxString& content) {
    SetAccessibleDescription(dialog, content);
}

void ActivateWhenShown(wxWindow* dialog, wxWindow* focus) {
    if (!dialog) return;
    auto activate = [dialog, focus] {
        dialog->Raise();
        if (focus) focus->SetFocus();
    };
    if (dialog->IsShownOnScreen()) {
        activate();
        return;
    }
    dialog->Bind(wxEVT_SHOW, [dialog, activate](wxShowEvent& event) {
        event.Skip();
        if (event.IsShown()) dialog->CallAfter(activate);
    });
}

Announcer::Announcer(wxWindow* parent)
    : notice_(new wxWindow(parent, wxID_ANY, wxPoint(0, 0), wxSize(1, 1))), hide_(notice_) {
    notice_->Hide();
    notice_->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { notice_->Hide(); });
    // Not a stop for Tab, and nothing for the eye.
    notice_->DisableFocusFromKeyboard();
    SetAccessibleNotificationRole(notice_);
}

// An alert is read when it is raised: named, shown, and announced.
void Announcer::Announce(const wxString& text) {
    notice_->Hide();
    if (TextAccessible* object = Accessible(notice_)) object->name_ = text;
    notice_->Show();
    Notify(notice_, wxACC_EVENT_SYSTEM_ALERT);
    hide_.StartOnce(kShownMs);
}

} // namespace platform
