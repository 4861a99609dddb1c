#include "base/platform/gui/accessibility.h"

#include <memory>

#include <gtk/gtk.h>
#include <wx/control.h>
#include <wx/dataview.h>
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

struct PressState {
    ListPressHooks hooks;
    wxWindow* list = nullptr;
    bool down = false;
    bool kept = false;
    bool dragging = false;
    double startX = 0, startY = 0;
};

wxPoint PointerInList(wxWindow* list) {
    return list->ScreenToClient(wxGetMousePosition());
}

gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* state = static_cast<PressState*>(data);
    if (event->button != 1 || event->type != GDK_BUTTON_PRESS) return FALSE;
    state->down = true;
    state->dragging = false;
    state->startX = event->x_root;
    state->startY = event->y_root;
    state->kept = false;
    // Clicks with a modifier extend or toggle the selection: the list's own.
    if (event->state & (GDK_SHIFT_MASK | GDK_CONTROL_MASK)) return FALSE;
    state->kept = state->hooks.press && state->hooks.press(PointerInList(state->list));
    if (state->kept) {
        GtkWidget* tree = AccessibleWidget(state->list);
        if (tree && !gtk_widget_has_focus(tree)) gtk_widget_grab_focus(tree);
    }
    return state->kept ? TRUE : FALSE;
}

gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
    auto* state = static_cast<PressState*>(data);
    if (!state->down || state->dragging || !(event->state & GDK_BUTTON1_MASK)) return FALSE;
    if (!gtk_drag_check_threshold(widget, static_cast<int>(state->startX),
                                  static_cast<int>(state->startY), static_cast<int>(event->x_root),
                                  static_cast<int>(event->y_root)))
        return FALSE;
    state->dragging = true;
    state->down = false;
    const wxPoint start = state->list->ScreenToClient(
        wxPoint(static_cast<int>(state->startX), static_cast<int>(state->startY)));
    if (state->hooks.drag) state->hooks.drag(start);
    return TRUE;
}

gboolean OnRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* state = static_cast<PressState*>(data);
    if (event->button != 1) return FALSE;
    const bool wasDown = state->down;
    state->down = false;
    state->dragging = false;
    if (wasDown && state->hooks.release) state->hooks.release(PointerInList(state->list), state->kept);
    const bool kept = state->kept;
    state->kept = false;
    return kept ? TRUE : FALSE;
}

void FreeState(gpointer data, GClosure*) {
    delete static_cast<PressState*>(data);
}

} // namespace

void SetAccessibleName(wxWindow* window, const wxString& name) {
    if (AtkObject* object = Accessible(window)) atk_object_set_name(object, name.utf8_str());
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

void DisableListSearch(wxWindow* list) {
    GtkWidget* widget = AccessibleWidget(list);
    if (widget && GTK_IS_TREE_VIEW(widget)) gtk_tree_view_set_enable_search(GTK_TREE_VIEW(widget), FALSE);
}

void SetUniformRowHeights(wxWindow* list) {
    GtkWidget* widget = AccessibleWidget(list);
    if (widget && GTK_IS_TREE_VIEW(widget))
        gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(widget), TRUE);
}

void WatchListPresses(wxWindow* list, ListPressHooks hooks) {
    GtkWidget* widget = AccessibleWidget(list);
    if (!widget) return;
    auto state = std::make_unique<PressState>();
    state->hooks = std::move(hooks);
    state->list = list;
    PressState* raw = state.release();
    // The state lives as long as the first handler's closure.
    g_signal_connect_data(widget, "button-press-event", G_CALLBACK(OnPress), raw, FreeState,
                          GConnectFlags(0));
    g_signal_connect(widget, "motion-notify-event", G_CALLBACK(OnMotion), raw);
    g_signal_connect(widget, "button-release-event", G_CALLBACK(OnRelease), raw);
}

} // namespace platform
