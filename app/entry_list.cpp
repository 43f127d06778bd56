#include "app/entry_list.h"

#include <gtk/gtk.h>

#include "app/entry_model.h"
#include "app/main_window.h"
#include "vault/vault.h"

namespace App {

bool ShowPasswords = false;

namespace {

constexpr char kPasswordMask[] = "●●●●●●●●●●";

GtkTreeView* ListView() { return GTK_TREE_VIEW(ControlWidget(EntryList)); }

void Enable(GtkWidget* widget, bool on) { gtk_widget_set_sensitive(widget, on); }

void SetField(int control, const std::string& text) {
  gtk_entry_set_text(GTK_ENTRY(ControlWidget(control)), text.c_str());
}

}  // namespace

int SelectedIndex() {
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  int row = -1;
  if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(ListView()), &model, &iter)) {
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
  }
  const int count = static_cast<int>(Vault::Entries().size());
  return Vault::IsVaultOpen() && row >= 0 && row < count ? row : -1;
}

void ClearEntryList() {
  GtkTreeModel* empty = GTK_TREE_MODEL(gtk_list_store_new(1, G_TYPE_STRING));
  gtk_tree_view_set_model(ListView(), empty);
  g_object_unref(empty);
}

void FillEntryList(int index) {
  GtkTreeView* view = ListView();
  GtkTreeModel* model = NewEntryModel();
  gtk_tree_view_set_model(view, model);
  g_object_unref(model);

  const int count = static_cast<int>(Vault::Entries().size());
  if (index >= count) index = count - 1;
  if (index >= 0) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
    gtk_tree_path_free(path);
  }
  RefreshDetails();
}

void RefreshDetails() {
  const int i = SelectedIndex();
  const bool open = Vault::IsVaultOpen();
  const int count = static_cast<int>(Vault::Entries().size());
  if (i < 0) {
    SetField(UrlField, "");
    SetField(UserField, "");
    SetField(PasswordField, "");
    Enable(ControlWidget(OpenButton), false);
    Enable(ControlWidget(CopyUserButton), false);
    Enable(ControlWidget(CopyPasswordButton), false);
  } else {
    const Vault::Entry& e = Vault::Entries()[i];
    SetField(UrlField, e.Url);
    SetField(UserField, e.Gebruiker);
    SetField(PasswordField,
             e.Wachtwoord.empty() || ShowPasswords ? e.Wachtwoord : std::string(kPasswordMask));
    Enable(ControlWidget(OpenButton), !e.Url.empty());
    Enable(ControlWidget(CopyUserButton), !e.Gebruiker.empty());
    Enable(ControlWidget(CopyPasswordButton), !e.Wachtwoord.empty());
  }
  Enable(ControlWidget(UpButton), i > 0);
  Enable(ControlWidget(DownButton), i >= 0 && i < count - 1);
  Enable(ControlWidget(EntryList), open);
  for (int item : {MenuMakeBackup, MenuRestoreBackup, MenuNew, MenuChangeMasterPassword}) {
    Enable(MenuItemWidget(item), open);
  }
  Enable(MenuItemWidget(MenuEdit), i >= 0);
  Enable(MenuItemWidget(MenuDelete), i >= 0);
}

}  // namespace App
