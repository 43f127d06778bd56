// Owns the dialog window slot: opening it over the main window, its shortcuts, closing it.
#include "app/dialog_window.h"

#include "app/controls.h"
#include "app/events.h"
#include "app/main_window.h"
#include "common/settings.h"

namespace App {
namespace {

GtkWidget* gDialog = nullptr;
GtkWidget* gDialogArea = nullptr;

}  // namespace

GtkWidget* OpenDialogWindow(const std::string& title, int width, int height) {
  GtkWidget* main = MainWindowWidget();
  gtk_widget_set_sensitive(main, FALSE);
  gDialog = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(gDialog), title.c_str());
  gtk_window_set_transient_for(GTK_WINDOW(gDialog), GTK_WINDOW(main));
  gtk_window_set_position(GTK_WINDOW(gDialog), GTK_WIN_POS_CENTER_ON_PARENT);
  gtk_window_set_type_hint(GTK_WINDOW(gDialog), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(GTK_WINDOW(gDialog), FALSE);
  gtk_window_set_keep_above(GTK_WINDOW(gDialog), CurrentSettings().AltijdBoven != 0);
  gDialogArea = gtk_layout_new(nullptr, nullptr);
  gtk_widget_set_size_request(gDialogArea, width, height);
  gtk_widget_add_events(gDialogArea, GDK_BUTTON_PRESS_MASK);
  gtk_container_add(GTK_CONTAINER(gDialog), gDialogArea);

  GtkAccelGroup* shortcuts = gtk_accel_group_new();
  AddShortcut(shortcuts, GDK_KEY_Return, GdkModifierType(0), kDialogConfirm);
  AddShortcut(shortcuts, GDK_KEY_KP_Enter, GdkModifierType(0), kDialogConfirm);
  AddShortcut(shortcuts, GDK_KEY_Escape, GdkModifierType(0), kDialogCancel);
  gtk_window_add_accel_group(GTK_WINDOW(gDialog), shortcuts);
  g_object_unref(shortcuts);
  g_signal_connect(gDialog, "delete-event", G_CALLBACK(OnCloseRequest), nullptr);
  g_signal_connect(gDialogArea, "button-press-event", G_CALLBACK(OnBackgroundClick),
                   GINT_TO_POINTER(kDialogWindow));
  return gDialogArea;
}

void CloseDialogWindow() {
  DestroyDialogWindow();
  ForgetDialogControls();
  GtkWidget* main = MainWindowWidget();
  gtk_widget_set_sensitive(main, TRUE);
  gtk_window_present(GTK_WINDOW(main));
}

void DestroyDialogWindow() {
  if (gDialog != nullptr) gtk_widget_destroy(gDialog);
  gDialog = gDialogArea = nullptr;
}

GtkWidget* DialogWindowWidget() { return gDialog; }

void PlaceDialogControl(GtkWidget* widget, int number, int x, int y, int width, int height) {
  gtk_widget_set_size_request(widget, width, height);
  gtk_layout_put(GTK_LAYOUT(gDialogArea), widget, x, y);
  if (number >= 0) RegisterControl(number, widget);
}

void ConnectDialogButton(GtkWidget* button, int number) { ConnectButton(button, number); }

}  // namespace App
