// Owns the control registry and the signal handlers that more than one window uses.
#include "app/controls.h"

#include <map>

#include "app/dialog_window.h"
#include "app/events.h"
#include "app/main_window.h"

namespace App {
namespace {

std::map<int, GtkWidget*> gControls;  // by program-wide number

void OnButton(GtkButton* button, gpointer number) {
  PostEvent({EventKind::Control, WindowNumberOf(gtk_widget_get_toplevel(GTK_WIDGET(button))),
             GPOINTER_TO_INT(number), kClicked});
}

}  // namespace

GtkWidget* ControlWidget(int number) {
  auto it = gControls.find(number);
  return it == gControls.end() ? nullptr : it->second;
}

void RegisterControl(int number, GtkWidget* widget) { gControls[number] = widget; }

void ForgetDialogControls() {
  gControls.erase(gControls.lower_bound(kMainControlCount), gControls.end());
}

void ForgetAllControls() { gControls.clear(); }

int WindowNumberOf(GtkWidget* toplevel) {
  if (toplevel != nullptr && toplevel == MainWindowWidget()) return kMainWindow;
  if (toplevel != nullptr && toplevel == DialogWindowWidget()) return kDialogWindow;
  return -1;
}

gboolean OnCloseRequest(GtkWidget* window, GdkEvent*, gpointer) {
  if (gtk_widget_get_sensitive(window)) {
    PostEvent({EventKind::Close, WindowNumberOf(window), 0, 0});
  }
  return TRUE;  // the program decides when windows go
}

gboolean OnBackgroundClick(GtkWidget*, GdkEventButton* event, gpointer window) {
  const bool counted =
      (event->type == GDK_BUTTON_PRESS && (event->button == 1 || event->button == 3)) ||
      (event->type == GDK_2BUTTON_PRESS && event->button == 1);
  if (counted) {
    PostEvent({EventKind::BackgroundClick, GPOINTER_TO_INT(window), 0,
               event->type == GDK_2BUTTON_PRESS ? kLeftDoubleClick : 0});
  }
  return FALSE;
}

gboolean OnKeyPress(GtkWidget* window, GdkEventKey*, gpointer) {
  PostEvent({EventKind::Typing, WindowNumberOf(window), 0, 0});
  return FALSE;
}

void ConnectButton(GtkWidget* button, int number) {
  g_signal_connect(button, "clicked", G_CALLBACK(OnButton), GINT_TO_POINTER(number));
}

}  // namespace App
