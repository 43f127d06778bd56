// The main window: its controls at their computed places, the idle timer, keep-above.
// Menus, status bar and the dialog slot have files of their own.
#pragma once

#include <gtk/gtk.h>

#include "app/controls.h"

namespace App {

// Builds the main window with its menus, status bar, controls and idle timer.
void CreateMainWindow();
// Destroys every window of the program and stops the timer.
void DestroyWindows();
// Places the controls for the main window's current size.
void LayoutMainWindow();
// Null once another program has destroyed the window; its controls live on until the end.
GtkWidget* MainWindowWidget();
// Keeps the program's windows above others or not, with the menu's check mark; saves it.
void SetAlwaysOnTop(bool on);
void ToggleAlwaysOnTop();
// Makes the main window keep above others or not, as the settings say.
void ApplyKeepAbove();

}  // namespace App
