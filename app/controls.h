// The registry that reaches every control by its program-wide number, and the signal
// handlers shared by the program's windows: each posts one event and does nothing else.
#pragma once

#include <gtk/gtk.h>

namespace App {

// Main window controls.
enum MainControl {
  EntryList = 0,
  UpButton = 1,
  DownButton = 2,
  DetailsFrame = 3,
  UrlField = 4,
  OpenButton = 5,
  UserField = 6,
  CopyUserButton = 7,
  PasswordField = 8,
  CopyPasswordButton = 9,
  UrlLabel = 10,
  UserLabel = 11,
  PasswordLabel = 12,
};
constexpr int kMainControlCount = 13;  // dialogs number theirs from here on

// The widget of control number n (main window or dialog), or null.
GtkWidget* ControlWidget(int number);
void RegisterControl(int number, GtkWidget* widget);
// Forgets every control numbered from kMainControlCount on (the dialog is gone).
void ForgetDialogControls();
void ForgetAllControls();

// Which window a toplevel is: the main window, the dialog window, or -1.
[[nodiscard]] int WindowNumberOf(GtkWidget* toplevel);
// "delete-event": a close request of the window, unless it is disabled.
gboolean OnCloseRequest(GtkWidget* window, GdkEvent*, gpointer);
// "button-press-event" on a control area: a background click of the window number in data.
gboolean OnBackgroundClick(GtkWidget*, GdkEventButton* event, gpointer window);
// "key-press-event" on a window: every key typed anywhere in it is activity. The key goes on
// to the window's shortcuts and the focused control.
gboolean OnKeyPress(GtkWidget* window, GdkEventKey*, gpointer);
// Posts a control event of the button's window when the button is clicked.
void ConnectButton(GtkWidget* button, int number);

}  // namespace App
