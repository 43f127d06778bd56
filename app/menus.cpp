// Owns the menu bar and the check marks of its two check items.
#include "app/menus.h"

#include <string>

#include "app/events.h"
#include "texts/texts.h"

namespace App {
namespace {

GtkWidget* gMenuBar = nullptr;
GtkWidget* gMenuItems[kMenuItemCount] = {};
gulong gMenuHandlers[kMenuItemCount] = {};
bool gMenuChecks[kMenuItemCount] = {};

void OnMenuItem(GtkMenuItem* item, gpointer number) {
  const int n = GPOINTER_TO_INT(number);
  if (GTK_IS_CHECK_MENU_ITEM(item)) {
    // Undo the toolkit's own toggle; the mark changes only when the program sets it.
    g_signal_handler_block(item, gMenuHandlers[n]);
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), gMenuChecks[n]);
    g_signal_handler_unblock(item, gMenuHandlers[n]);
  }
  PostEvent({EventKind::Menu, kMainWindow, n, 0});
}

// An item's text is "Label" or "Label\tHint"; the hint the menu shows comes from the
// program's key rows (ShowMenuHints), so only the label is taken here.
void AddMenuItem(GtkWidget* menu, int number, const char* text, bool check) {
  const std::string_view full = text;
  const std::string label(full.substr(0, full.find('\t')));
  GtkWidget* item = check ? gtk_check_menu_item_new_with_label(label.c_str())
                          : gtk_menu_item_new_with_label(label.c_str());
  gMenuItems[number] = item;
  gMenuHandlers[number] =
      g_signal_connect(item, "activate", G_CALLBACK(OnMenuItem), GINT_TO_POINTER(number));
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
}

GtkWidget* AddMenu(const char* title) {
  GtkWidget* top = gtk_menu_item_new_with_label(title);
  GtkWidget* menu = gtk_menu_new();
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(gMenuBar), top);
  return menu;
}

}  // namespace

GtkWidget* BuildMenuBar() {
  const Texts::Table& t = Texts::kText;
  for (bool& mark : gMenuChecks) mark = false;
  gMenuBar = gtk_menu_bar_new();
  GtkWidget* file = AddMenu(t.menuFile);
  AddMenuItem(file, MenuMakeBackup, t.itemMakeBackup, false);
  AddMenuItem(file, MenuRestoreBackup, t.itemRestoreBackup, false);
  gtk_menu_shell_append(GTK_MENU_SHELL(file), gtk_separator_menu_item_new());
  AddMenuItem(file, MenuExit, t.itemExit, false);
  GtkWidget* edit = AddMenu(t.menuEdit);
  AddMenuItem(edit, MenuNew, t.itemNew, false);
  AddMenuItem(edit, MenuEdit, t.itemEdit, false);
  AddMenuItem(edit, MenuDelete, t.itemDelete, false);
  gtk_menu_shell_append(GTK_MENU_SHELL(edit), gtk_separator_menu_item_new());
  AddMenuItem(edit, MenuCheckPasswords, t.itemCheckPasswords, false);
  GtkWidget* settings = AddMenu(t.menuSettings);
  AddMenuItem(settings, MenuShowPasswords, t.itemShowPasswords, true);
  AddMenuItem(settings, MenuAlwaysOnTop, t.itemAlwaysOnTop, true);
  AddMenuItem(settings, MenuChooseBrowser, t.itemChooseBrowser, false);
  AddMenuItem(settings, MenuBreachList, t.itemBreachList, false);
  AddMenuItem(settings, MenuChangeMasterPassword, t.itemChangeMasterPassword, false);
  gtk_menu_shell_append(GTK_MENU_SHELL(settings), gtk_separator_menu_item_new());
  AddMenuItem(settings, MenuAbout, t.itemAbout, false);
  return gMenuBar;
}

void ForgetMenus() {
  gMenuBar = nullptr;
  for (GtkWidget*& item : gMenuItems) item = nullptr;
}

void ShowMenuHints(std::span<const MenuHint> hints) {
  for (const MenuHint& hint : hints) {
    GtkWidget* item = gMenuItems[hint.item];
    if (item == nullptr) continue;
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item))), hint.key.code,
                              hint.key.mods);
  }
}

GtkWidget* MenuItemWidget(int number) { return gMenuItems[number]; }

void SetMenuCheck(int number, bool on) {
  gMenuChecks[number] = on;
  GtkWidget* item = gMenuItems[number];
  if (item == nullptr) return;
  g_signal_handler_block(item, gMenuHandlers[number]);
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), on);
  g_signal_handler_unblock(item, gMenuHandlers[number]);
}

bool MenuCheck(int number) { return gMenuChecks[number]; }

}  // namespace App
