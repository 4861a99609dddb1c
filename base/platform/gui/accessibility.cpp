#include "base/platform/gui/accessibility.h"

#include <gtk/gtk.h>
#include <wx/control.h>
#include <wx/dataview.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/window.h>

namespace platform {

namespace {

// The widget a screen reader sees for a window: a list's table sits inside
// a scrolled window.
GtkWidget* AccessibleWidget(wxWindow* window) {
    if (!window) return nullptr;
    if (auto* list = dynamic_cast<wxDataViewCtrl*>(window)) return list->GtkGetTreeView();
    GtkWidget* widget = window->GetHandle();
    if (widget && GTK_IS_SCROLLED_WINDOW(widget)) {
        if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget))) return child;
    }
    return widget;
}

AtkObject* Accessible(wxWindow* window) {
    GtkWidget* widget = AccessibleWidget(window);
    return widget ? gtk_widget_get_accessible(widget) : nullptr;
}

// A label's text as a name: without mnemonic marks and the colon that
// ends it on screen.
wxString NameFromLabel(const wxString& label) {
    wxString name = wxControl::RemoveMnemonics(label);
    name.Trim(true).Trim(false);
    while (name.EndsWith(":")) {
        name.RemoveLast();
        name.Trim(true);
    }
    return name;
}

// Marks each dialog as one when it is first shown.
class DialogRoles : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() == wxEVT_SHOW && static_cast<wxShowEvent&>(event).IsShown())
            if (auto* dialog = dynamic_cast<wxDialog*>(event.GetEventObject()))
                if (AtkObject* object = Accessible(dialog))
                    atk_object_set_role(object, ATK_ROLE_DIALOG);
        return Event_Skip;
    }
};

} // namespace

namespace {

void NameInnerButton(GtkWidget* child, gpointer name) {
    if (GTK_IS_TOGGLE_BUTTON(child) || GTK_IS_ENTRY(child))
        atk_object_set_name(gtk_widget_get_accessible(child), static_cast<const char*>(name));
    else if (GTK_IS_CONTAINER(child))
        gtk_container_forall(GTK_CONTAINER(child), NameInnerButton, name);
}

} // namespace

void SetAccessibleName(wxWindow* window, const wxString& name) {
    if (AtkObject* object = Accessible(window)) atk_object_set_name(object, name.utf8_str());
    // A combo box takes the keyboard in a button of its own, which is read
    // by the combo's name too.
    GtkWidget* widget = AccessibleWidget(window);
    if (widget && GTK_IS_COMBO_BOX(widget)) {
        const wxScopedCharBuffer text = name.utf8_str();
        gtk_container_forall(GTK_CONTAINER(widget), NameInnerButton,
                             const_cast<char*>(text.data()));
    }
    // A list's scrolled window is read with its table's name.
    GtkWidget* outer = window ? window->GetHandle() : nullptr;
    if (outer && outer != AccessibleWidget(window))
        atk_object_set_name(gtk_widget_get_accessible(outer), name.utf8_str());
}

wxString GetAccessibleName(wxWindow* window) {
    AtkObject* object = Accessible(window);
    const char* name = object ? atk_object_get_name(object) : nullptr;
    return name ? wxString::FromUTF8(name) : wxString();
}

namespace {

// Gives each unnamed widget under widget the text of its tool tip (or of
// the tool item it is part of) as its name.
void NameByTip(GtkWidget* widget, gpointer) {
    AtkObject* object = gtk_widget_get_accessible(widget);
    const char* name = object ? atk_object_get_name(object) : nullptr;
    if (object && (!name || !*name)) {
        for (GtkWidget* w = widget; w && !GTK_IS_WINDOW(w); w = gtk_widget_get_parent(w)) {
            if (gchar* tip = gtk_widget_get_tooltip_text(w)) {
                atk_object_set_name(object, tip);
                g_free(tip);
                break;
            }
            if (!GTK_IS_TOOL_ITEM(gtk_widget_get_parent(w))) break;
        }
    }
    if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), NameByTip, nullptr);
}

} // namespace

void NameByTips(wxWindow* top) {
    if (GtkWidget* widget = top ? top->GetHandle() : nullptr) NameByTip(widget, nullptr);
}

void SetAccessibleDescription(wxWindow* window, const wxString& description) {
    if (AtkObject* object = Accessible(window))
        atk_object_set_description(object, description.utf8_str());
}

void SetAccessibleComboRole(wxWindow* window) {
    if (AtkObject* object = Accessible(window)) atk_object_set_role(object, ATK_ROLE_COMBO_BOX);
}

void SetLabelFor(wxWindow* label, wxWindow* field) {
    AtkObject* labelObject = Accessible(label);
    AtkObject* fieldObject = Accessible(field);
    if (!labelObject || !fieldObject) return;
    GtkWidget* labelWidget = label->GetHandle();
    if (labelWidget && GTK_IS_LABEL(labelWidget))
        gtk_label_set_mnemonic_widget(GTK_LABEL(labelWidget), AccessibleWidget(field));
    atk_object_set_name(fieldObject, NameFromLabel(label->GetLabel()).utf8_str());
    AtkRelationSet* fieldRelations = atk_object_ref_relation_set(fieldObject);
    atk_relation_set_add_relation_by_type(fieldRelations, ATK_RELATION_LABELLED_BY, labelObject);
    g_object_unref(fieldRelations);
    AtkRelationSet* labelRelations = atk_object_ref_relation_set(labelObject);
    atk_relation_set_add_relation_by_type(labelRelations, ATK_RELATION_LABEL_FOR, fieldObject);
    g_object_unref(labelRelations);
}

void SetGroupLabel(const wxString& title, std::initializer_list<wxWindow*> members) {
    const wxString group = NameFromLabel(title);
    for (wxWindow* member : members) {
        AtkObject* object = Accessible(member);
        if (!object) continue;
        atk_object_set_name(object, (group + ": " + NameFromLabel(member->GetLabel())).utf8_str());
        atk_object_set_description(object, group.utf8_str());
    }
}

void ReadDialogsAsDialogs() {
    static DialogRoles roles;
    static bool added = false;
    if (!added) wxEvtHandler::AddFilter(&roles);
    added = true;
}

} // namespace platform
