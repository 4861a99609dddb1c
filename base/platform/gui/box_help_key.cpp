#include "base/platform/gui/box_help_key.h"

#include <gtk/gtk.h>

#include <wx/app.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <utility>

namespace platform {

namespace {

std::function<void(wxWindow*)>& Help() {
    static std::function<void(wxWindow*)> help;
    return help;
}

// The window a box's F1 asks the help of. It may be gone by the time the
// key is pressed.
struct Asker {
    wxWeakRef<wxWindow> window;
};

gboolean OnBoxKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    const GdkModifierType modifiers = GdkModifierType(
        event->state & (GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK));
    if (event->keyval != GDK_KEY_F1 || modifiers != 0 || !Help()) return FALSE;
    wxWeakRef<wxWindow> asker = static_cast<Asker*>(data)->window;
    // After the key, from the program's own loop (the box's is running).
    wxTheApp->CallAfter([asker] {
        if (Help()) Help()(asker.get());
    });
    return TRUE;
}

void FreeAsker(gpointer data, GClosure*) {
    delete static_cast<Asker*>(data);
}

// Each box that appears while the key is watched takes the key.
gboolean OnMapped(GSignalInvocationHint*, guint, const GValue* values, gpointer data) {
    auto* widget = static_cast<GtkWidget*>(g_value_get_object(&values[0]));
    if (!GTK_IS_MESSAGE_DIALOG(widget) && !GTK_IS_FILE_CHOOSER_DIALOG(widget)) return TRUE;
    if (g_object_get_data(G_OBJECT(widget), "songdock-help-key")) return TRUE;
    g_object_set_data(G_OBJECT(widget), "songdock-help-key", widget);
    g_signal_connect_data(widget, "key-press-event", G_CALLBACK(OnBoxKey),
                          new Asker{static_cast<Asker*>(data)->window}, FreeAsker,
                          GConnectFlags(0));
    return TRUE;
}

void FreeHookAsker(gpointer data) {
    delete static_cast<Asker*>(data);
}

} // namespace

void SetBoxHelp(std::function<void(wxWindow*)> help) {
    Help() = std::move(help);
}

BoxHelpKey::BoxHelpKey(wxWindow* asker)
    : signal_(g_signal_lookup("map", GTK_TYPE_WIDGET)),
      hook_(g_signal_add_emission_hook(signal_, 0, OnMapped, new Asker{asker}, FreeHookAsker)) {}

BoxHelpKey::~BoxHelpKey() {
    g_signal_remove_emission_hook(signal_, hook_);
}

} // namespace platform
