// Owns the dialog window slot: opening it over the main window, its shortcuts, closing it.
#include "app/dialog_window.h"

#include "app/controls.h"
#include "app/dialog_loop.h"
#include "app/events.h"
#include "app/key_table.h"
#include "app/main_window.h"
#include "common/settings.h"

namespace App {
namespace {

constexpr KeyRow kDialogKeys[] = {
    {.event = DialogKey(kDialogConfirm), .key = {GDK_KEY_Return}},
    {.event = DialogKey(kDialogConfirm), .key = {GDK_KEY_KP_Enter}},
    {.event = DialogKey(kDialogCancel), .key = {GDK_KEY_Escape}},
};

GtkWidget* gDialog = nullptr;
GtkWidget* gDialogArea = nullptr;  // holds a reference of its own while the dialog is open

// Another program destroyed the window. The control area moves out of it first, so the
// controls stay alive, and the registry valid, until the dialog's loop has seen the close
// and calls CloseDialogWindow; the loop reads them as after a close request.
void OnDialogDestroyed(GtkWidget* window, gpointer) {
  if (window != gDialog) return;  // CloseDialogWindow's own
  gtk_container_remove(GTK_CONTAINER(window), gDialogArea);
  gDialog = nullptr;
  PostEvent({EventKind::Close, kDialogWindow, 0, 0});
}

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
  gtk_window_set_keep_above(GTK_WINDOW(gDialog), Common::CurrentSettings().AltijdBoven != 0);
  gDialogArea = GTK_WIDGET(g_object_ref_sink(gtk_layout_new(nullptr, nullptr)));
  gtk_widget_set_size_request(gDialogArea, width, height);
  gtk_widget_add_events(gDialogArea, GDK_BUTTON_PRESS_MASK);
  gtk_container_add(GTK_CONTAINER(gDialog), gDialogArea);

  InstallKeys(gDialog, kDialogKeys);
  g_signal_connect(gDialog, "delete-event", G_CALLBACK(OnCloseRequest), nullptr);
  g_signal_connect(gDialog, "destroy", G_CALLBACK(OnDialogDestroyed), nullptr);
  g_signal_connect(gDialogArea, "button-press-event", G_CALLBACK(OnBackgroundClick),
                   GINT_TO_POINTER(kDialogWindow));
  return gDialogArea;
}

void CloseDialogWindow() {
  ForgetDialogControls();
  DestroyDialogWindow();
  GtkWidget* main = MainWindowWidget();
  gtk_widget_set_sensitive(main, TRUE);
  gtk_window_present(GTK_WINDOW(main));
}

void DestroyDialogWindow() {
  GtkWidget* window = gDialog;
  gDialog = nullptr;
  if (window != nullptr) {
    gtk_widget_destroy(window);  // the area and its controls with it
  } else if (gDialogArea != nullptr) {
    gtk_widget_destroy(gDialogArea);  // moved out of a window another program destroyed
  }
  if (gDialogArea != nullptr) g_object_unref(gDialogArea);
  gDialogArea = nullptr;
}

GtkWidget* DialogWindowWidget() { return gDialog; }

void PlaceDialogControl(GtkWidget* widget, int number, int x, int y, int width, int height) {
  gtk_widget_set_size_request(widget, width, height);
  gtk_layout_put(GTK_LAYOUT(gDialogArea), widget, x, y);
  if (number >= 0) RegisterControl(number, widget);
}

GtkWidget* AddDialogButton(int number, const char* text, int x, int y, int width, int height) {
  GtkWidget* button = gtk_button_new_with_label(text);
  PlaceDialogControl(button, number, x, y, width, height);
  ConnectButton(button, number);
  return button;
}

void ShowDialogWindow(GtkWidget* focus) {
  gtk_widget_show_all(gDialog);
  gtk_widget_grab_focus(focus);
}

}  // namespace App
