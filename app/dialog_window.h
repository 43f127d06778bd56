// The one dialog window that may exist at a time, opened over the disabled main window.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace App {

// Opens the dialog window over the disabled main window; returns its control area.
GtkWidget* OpenDialogWindow(const std::string& title, int width, int height);
// Closes the dialog window and gives the main window back its input.
void CloseDialogWindow();
GtkWidget* DialogWindowWidget();
// Puts a widget into the dialog's control area and registers it under its number (>= 13;
// -1 for a label without a number).
void PlaceDialogControl(GtkWidget* widget, int number, int x, int y, int width, int height);
// Destroys the dialog window if one is open (the end of the run).
void DestroyDialogWindow();
// A button with the text, placed as PlaceDialogControl places it; a click posts a control
// event of the dialog window.
GtkWidget* AddDialogButton(int number, const char* text, int x, int y, int width, int height);
// Shows the dialog window with everything placed in it, the keyboard focus in focus.
void ShowDialogWindow(GtkWidget* focus);

}  // namespace App
