// Owns the accelerator groups of the program's windows: a key only posts its event.
#include "app/key_table.h"

namespace App {
namespace {

// A focused button takes Return as its own click, as everywhere on the desktop; the window's
// shortcut would come first otherwise. (Space is no shortcut: the button has it already.)
bool FocusedButtonTakes(GObject* window, guint key) {
  if (key != GDK_KEY_Return && key != GDK_KEY_KP_Enter && key != GDK_KEY_ISO_Enter) return false;
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
  return focus != nullptr && GTK_IS_BUTTON(focus);
}

gboolean OnKey(GtkAccelGroup*, GObject* window, guint key, GdkModifierType, gpointer row) {
  // A disabled window takes no keys.
  if (!gtk_widget_get_sensitive(GTK_WIDGET(window))) return FALSE;
  if (FocusedButtonTakes(window, key)) return FALSE;
  PostEvent(static_cast<const KeyRow*>(row)->event);
  return TRUE;
}

}  // namespace

void InstallKeys(GtkWidget* window, std::span<const KeyRow> rows) {
  GtkAccelGroup* keys = gtk_accel_group_new();
  for (const KeyRow& row : rows) {
    gtk_accel_group_connect(keys, row.key.code, row.key.mods, GtkAccelFlags(0),
                            g_cclosure_new(G_CALLBACK(OnKey), const_cast<KeyRow*>(&row), nullptr));
  }
  gtk_window_add_accel_group(GTK_WINDOW(window), keys);
  g_object_unref(keys);
}

}  // namespace App
