#include "app/secret_field.h"

namespace App {
namespace {

// GtkEntry selects its whole text when focused from the keyboard; that selection would be
// offered as PRIMARY at once.
void OnGrabFocus(GtkWidget* entry, gpointer) {
  g_signal_stop_emission_by_name(entry, "grab-focus");
  gtk_entry_grab_focus_without_selecting(GTK_ENTRY(entry));
}

// GtkEntry offers a new selection as PRIMARY after telling of the moved bounds; collapsing
// it here leaves it nothing to offer.
void OnBoundsMoved(GObject* entry, GParamSpec*, gpointer) {
  int start = 0, end = 0;
  if (gtk_editable_get_selection_bounds(GTK_EDITABLE(entry), &start, &end)) {
    gtk_editable_set_position(GTK_EDITABLE(entry), gtk_editable_get_position(GTK_EDITABLE(entry)));
  }
}

}  // namespace

void KeepOffPrimary(GtkWidget* entry) {
  g_signal_connect(entry, "grab-focus", G_CALLBACK(OnGrabFocus), nullptr);
  g_signal_connect(entry, "notify::selection-bound", G_CALLBACK(OnBoundsMoved), nullptr);
  g_signal_connect(entry, "notify::cursor-position", G_CALLBACK(OnBoundsMoved), nullptr);
}

}  // namespace App
