#include "base/platform/gui/native_list.h"

#include <memory>

#include <gtk/gtk.h>
#include <wx/dataview.h>
#include <wx/window.h>

namespace platform {

namespace {

// The tree view inside a list's scrolled window.
GtkWidget* TreeViewOf(wxWindow* list) {
    auto* view = dynamic_cast<wxDataViewCtrl*>(list);
    GtkWidget* widget = view ? view->GtkGetTreeView() : nullptr;
    return widget && GTK_IS_TREE_VIEW(widget) ? widget : nullptr;
}

struct PressState {
    ListPressHooks hooks;
    wxWindow* list = nullptr;
    bool down = false;
    bool kept = false;
    bool dragging = false;
    double startX = 0, startY = 0;
    guint32 pressTime = 0;
};

// Where an event happened, in the list's client coordinates: the event's own
// position, not the pointer's now, which a busy window may read later.
wxPoint PointInList(wxWindow* list, double xRoot, double yRoot) {
    return list->ScreenToClient(wxPoint(static_cast<int>(xRoot), static_cast<int>(yRoot)));
}

gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* state = static_cast<PressState*>(data);
    if (event->button != 1 || event->type != GDK_BUTTON_PRESS) return FALSE;
    state->down = true;
    state->dragging = false;
    state->startX = event->x_root;
    state->startY = event->y_root;
    state->pressTime = event->time;
    state->kept = false;
    // Clicks with a modifier extend or toggle the selection: the list's own.
    if (event->state & (GDK_SHIFT_MASK | GDK_CONTROL_MASK)) return FALSE;
    state->kept = state->hooks.press &&
                  state->hooks.press(PointInList(state->list, event->x_root, event->y_root));
    if (state->kept) {
        GtkWidget* tree = TreeViewOf(state->list);
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
    if (wasDown && state->hooks.release)
        state->hooks.release(PointInList(state->list, event->x_root, event->y_root), state->kept,
                             state->pressTime);
    const bool kept = state->kept;
    state->kept = false;
    return kept ? TRUE : FALSE;
}

void FreeState(gpointer data, GClosure*) {
    delete static_cast<PressState*>(data);
}

void RefuseFocus(GtkWidget* button, GParamSpec*, gpointer) {
    if (gtk_widget_get_can_focus(button)) gtk_widget_set_can_focus(button, FALSE);
}

struct ScrollState {
    std::function<void()> scrolled;
};

void OnScrolled(GtkAdjustment*, gpointer data) {
    auto* state = static_cast<ScrollState*>(data);
    if (state->scrolled) state->scrolled();
}

void FreeScrollState(gpointer data, GClosure*) {
    delete static_cast<ScrollState*>(data);
}

} // namespace

void DisableListSearch(wxWindow* list) {
    if (GtkWidget* widget = TreeViewOf(list))
        gtk_tree_view_set_enable_search(GTK_TREE_VIEW(widget), FALSE);
}

void ShowFocusClearly() {
    static const char kCss[] =
        "*:focus, treeview.view:focus {"
        " outline-style: solid; outline-width: 2px; outline-offset: -2px;"
        " outline-color: @theme_selected_bg_color; }";
    GdkScreen* screen = gdk_screen_get_default();
    if (!screen) return;
    GtkCssProvider* provider = gtk_css_provider_new();
    if (gtk_css_provider_load_from_data(provider, kCss, -1, nullptr))
        gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void SetUniformRowHeights(wxWindow* list) {
    if (GtkWidget* widget = TreeViewOf(list))
        gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(widget), TRUE);
}

void WatchListPresses(wxWindow* list, ListPressHooks hooks) {
    GtkWidget* widget = TreeViewOf(list);
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

void KeepHeaderOutOfTabs(wxWindow* list) {
    GtkWidget* widget = TreeViewOf(list);
    if (!widget) return;
    const int count = gtk_tree_view_get_n_columns(GTK_TREE_VIEW(widget));
    for (int c = 0; c < count; ++c)
        if (GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(widget), c))
            if (GtkWidget* button = gtk_tree_view_column_get_button(column)) {
                gtk_widget_set_can_focus(button, FALSE);
                // The column gives its button the focus again whenever its
                // header changes (a sort arrow, say).
                if (!g_object_get_data(G_OBJECT(button), "songdock-no-tab")) {
                    g_object_set_data(G_OBJECT(button), "songdock-no-tab", button);
                    g_signal_connect(button, "notify::can-focus", G_CALLBACK(RefuseFocus), nullptr);
                }
            }
}

void TellCurrentRow(wxWindow* list, bool focusCell) {
    GtkWidget* widget = TreeViewOf(list);
    if (!widget || !gtk_widget_has_focus(widget)) return;
    GtkTreePath* path = nullptr;
    gtk_tree_view_get_cursor(GTK_TREE_VIEW(widget), &path, nullptr);
    if (!path) return;
    const int row = gtk_tree_path_get_depth(path) > 0 ? gtk_tree_path_get_indices(path)[0] : -1;
    gtk_tree_path_free(path);
    AtkObject* table = gtk_widget_get_accessible(widget);
    if (row < 0 || !table || !ATK_IS_TABLE(table)) return;
    AtkObject* cell = atk_table_ref_at(ATK_TABLE(table), row, 0);
    if (!cell) return;
    g_signal_emit_by_name(table, "active-descendant-changed", cell);
    if (focusCell) atk_object_notify_state_change(cell, ATK_STATE_FOCUSED, TRUE);
    g_object_unref(cell);
}

void ScrollRowToTop(wxWindow* list, long row) {
    GtkWidget* widget = TreeViewOf(list);
    if (!widget || row < 0) return;
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(row), -1);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(widget), path, nullptr, TRUE, 0.0f, 0.0f);
    gtk_tree_path_free(path);
}

void WatchListScroll(wxWindow* list, std::function<void()> scrolled) {
    GtkWidget* widget = TreeViewOf(list);
    if (!widget) return;
    GtkAdjustment* adjustment = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(widget));
    if (!adjustment) return;
    auto* state = new ScrollState{std::move(scrolled)};
    g_signal_connect_data(adjustment, "value-changed", G_CALLBACK(OnScrolled), state,
                          FreeScrollState, GConnectFlags(0));
}

} // namespace platform
