#include "base/platform/gui/accessibility.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
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

namespace platform {

void SetAccessibleStatusBarRole(wxWindow* window) {
    if (AtkObject* object = Accessible(window)) atk_object_set_role(object, ATK_ROLE_STATUSBAR);
}

void SetAccessibleNotificationRole(wxWindow* window) {
    if (AtkObject* object = Accessible(window)) atk_object_set_role(object, ATK_ROLE_NOTIFICATION);
}

namespace {

// The label widget of a window that shows a label: a text, or a group box's title.
GtkLabel* LabelWidget(wxWindow* window) {
    GtkWidget* widget = window ? window->GetHandle() : nullptr;
    if (widget && GTK_IS_FRAME(widget)) widget = gtk_frame_get_label_widget(GTK_FRAME(widget));
    return widget && GTK_IS_LABEL(widget) ? GTK_LABEL(widget) : nullptr;
}

// Undoes a tie as soon as it is made, and the relations a screen reader
// may have read of it already.
void CutTie(GObject* object, GParamSpec*, gpointer) {
    GtkLabel* label = GTK_LABEL(object);
    GtkWidget* target = gtk_label_get_mnemonic_widget(label);
    if (!target) return;
    gtk_label_set_mnemonic_widget(label, nullptr);
    AtkObject* labelObject = gtk_widget_get_accessible(GTK_WIDGET(label));
    AtkObject* targetObject = gtk_widget_get_accessible(target);
    atk_object_remove_relationship(targetObject, ATK_RELATION_LABELLED_BY, labelObject);
    atk_object_remove_relationship(labelObject, ATK_RELATION_LABEL_FOR, targetObject);
}

} // namespace

void UntieLabel(wxWindow* label) {
    GtkLabel* widget = LabelWidget(label);
    if (!widget) return;
    // The toolkit ties a label to a window created after it, also later on.
    static const char kWatched[] = "songdock-untied";
    if (!g_object_get_data(G_OBJECT(widget), kWatched)) {
        g_object_set_data(G_OBJECT(widget), kWatched, GINT_TO_POINTER(1));
        g_signal_connect(widget, "notify::mnemonic-widget", G_CALLBACK(CutTie), nullptr);
    }
    CutTie(G_OBJECT(widget), nullptr, nullptr);
}

void UntieLabels(wxWindow* top) {
    if (!top) return;
    for (wxWindow* child : top->GetChildren()) {
        if (LabelWidget(child)) UntieLabel(child);
        UntieLabels(child);
    }
}

void TieCaption(wxWindow* caption, wxWindow* value) {
    AtkObject* captionObject = Accessible(caption);
    AtkObject* valueObject = Accessible(value);
    if (!captionObject || !valueObject) return;
    atk_object_add_relationship(captionObject, ATK_RELATION_LABEL_FOR, valueObject);
    atk_object_add_relationship(valueObject, ATK_RELATION_LABELLED_BY, captionObject);
}

void DescribeDialog(wxWindow* dialog, const wxString& content) {
    if (AtkObject* object = Accessible(dialog)) atk_object_set_description(object, content.utf8_str());
}

namespace {

void Activate(GtkWidget* dialog, GtkWidget* focus) {
    if (focus && gtk_widget_get_can_focus(focus) && gtk_widget_is_ancestor(focus, dialog))
        gtk_window_set_focus(GTK_WINDOW(dialog), focus);
    if (gtk_window_is_active(GTK_WINDOW(dialog))) return;
    guint32 time = GDK_CURRENT_TIME;
#ifdef GDK_WINDOWING_X11
    // As of the person's last action in the program: the key that began
    // what the dialog shows, not a moment later that a window manager
    // could refuse as a window stealing the focus.
    if (GDK_IS_X11_DISPLAY(gtk_widget_get_display(dialog)))
        time = gdk_x11_display_get_user_time(gtk_widget_get_display(dialog));
#endif
    gtk_window_present_with_time(GTK_WINDOW(dialog), time);
}

gboolean OnDialogMapped(GtkWidget* dialog, GdkEvent*, gpointer focus) {
    g_signal_handlers_disconnect_by_func(dialog, reinterpret_cast<gpointer>(OnDialogMapped), focus);
    Activate(dialog, static_cast<GtkWidget*>(focus));
    return FALSE;
}

} // namespace

void ActivateWhenShown(wxWindow* dialog, wxWindow* focus) {
    GtkWidget* top = dialog ? dialog->GetHandle() : nullptr;
    if (!top || !GTK_IS_WINDOW(top)) return;
    GtkWidget* control = focus ? focus->GetHandle() : nullptr;
    // Asked for before the window manager has put the dialog on screen, the
    // activation would go unheard: it waits for the dialog's map.
    GdkWindow* window = gtk_widget_get_window(top);
    if (window && gtk_widget_get_mapped(top) &&
        !(gdk_window_get_state(window) & GDK_WINDOW_STATE_WITHDRAWN))
        Activate(top, control);
    else
        g_signal_connect(top, "map-event", G_CALLBACK(OnDialogMapped), control);
}

Announcer::Announcer(wxWindow* parent)
    : notice_(new wxWindow(parent, wxID_ANY, wxPoint(0, 0), wxSize(1, 1))), hide_(notice_) {
    notice_->Hide();
    notice_->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { notice_->Hide(); });
    // Not a stop for Tab, and nothing for the eye.
    notice_->DisableFocusFromKeyboard();
    SetAccessibleNotificationRole(notice_);
}

void Announcer::Announce(const wxString& text) {
    // A notification is read when it appears: hidden first, so that it
    // appears again.
    notice_->Hide();
    if (AtkObject* object = Accessible(notice_)) atk_object_set_name(object, text.utf8_str());
    notice_->Show();
    // Gone again once read, so that it is not read a second time with the
    // window it is in.
    hide_.StartOnce(kShownMs);
}

} // namespace platform
