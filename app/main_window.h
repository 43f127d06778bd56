// The main window (menus, entry list, details panel, status bar), the one dialog window
// slot, and the registry that reaches every control by its program-wide number.
#pragma once

#include <gtk/gtk.h>

#include <string>

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
constexpr int kMainControlCount = 13;

// Main menu items (the menu event numbers).
enum MenuItemNumber {
  MenuMakeBackup = 0,
  MenuRestoreBackup = 1,
  MenuExit = 2,
  MenuNew = 3,
  MenuEdit = 4,
  MenuDelete = 5,
  MenuShowPasswords = 6,
  MenuAlwaysOnTop = 7,
  MenuChooseBrowser = 8,
  MenuChangeMasterPassword = 9,
  MenuAbout = 10,
};
constexpr int kMenuItemCount = 11;

constexpr int kStatusFieldCount = 3;

// Builds the main window with its menus, shortcuts, status bar, controls and idle timer.
void CreateMainWindow();
// Destroys every window of the program and stops the timer.
void DestroyWindows();
// Places the controls for the main window's current size.
void LayoutMainWindow();
// Shows " " + message in status field 0.
void SetStatusText(const std::string& message);
// Paints the window now, so that a status text is seen before the window blocks.
void PaintNow();

GtkWidget* MainWindowWidget();
// The widget of control number n (main window or dialog), or null.
GtkWidget* ControlWidget(int number);
GtkWidget* MenuItemWidget(int number);
// The label or progress bar of a status field.
GtkWidget* StatusFieldWidget(int field);
// The program's own check mark of a check item; the toolkit's toggle never changes it.
void SetMenuCheck(int number, bool on);
[[nodiscard]] bool MenuCheck(int number);
// Makes a window keep above others or not (main and dialog window).
void ApplyKeepAbove();

// Opens the dialog window over the disabled main window; returns its control area.
GtkWidget* OpenDialogWindow(const std::string& title, int width, int height);
// Closes the dialog window and gives the main window back its input.
void CloseDialogWindow();
GtkWidget* DialogWindowWidget();
// Puts a widget into the dialog's control area and registers it under its number (>= 13;
// -1 for a label without a number).
void PlaceDialogControl(GtkWidget* widget, int number, int x, int y, int width, int height);
// Posts a control event of the dialog window when the button is clicked.
void ConnectDialogButton(GtkWidget* button, int number);

// The third field: a progress bar from the first countdown on.
void ShowCountdown(double fraction, const std::string& secondsText);

}  // namespace App
