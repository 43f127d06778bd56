// The main window's menu bar and its check marks; its keys are rows of the program's table.
#pragma once

#include <gtk/gtk.h>

#include <span>

#include "app/key_table.h"

namespace App {

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
  MenuCheckPasswords = 11,
  MenuBreachList = 12,
};
constexpr int kMenuItemCount = 13;

// The menu bar with its three menus; every item posts its menu event.
GtkWidget* BuildMenuBar();
// Drops the menu items (their window is being destroyed).
void ForgetMenus();

// A key shown at the right of a menu item. Display only: the window's own keys do the work.
struct MenuHint {
  int item;
  Key key;
};
// Shows each key as the hint of its item.
void ShowMenuHints(std::span<const MenuHint> hints);

GtkWidget* MenuItemWidget(int number);
// The program's own check mark of a check item; the toolkit's toggle never changes it.
void SetMenuCheck(int number, bool on);
[[nodiscard]] bool MenuCheck(int number);

}  // namespace App
