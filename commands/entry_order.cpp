#include "commands/entry_order.h"

#include <gtk/gtk.h>

#include <string>
#include <utility>

#include "app/entry_list.h"
#include "app/entry_model.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {

void DeleteSelectedEntry() {
  const int i = App::SelectedIndex();
  if (i < 0) return;
  const Texts::Table& t = Texts::kText;
  std::vector<Vault::Entry>& entries = Vault::Entries();
  const std::string question =
      t.confirmDeleteBefore + entries[static_cast<size_t>(i)].Omschrijving + t.confirmDeleteAfter;
  if (App::ShowMessageBox(t.deleteTitle, question, App::MessageIcon::Warning,
                          App::MessageButtons::YesNo) != App::MessageAnswer::Yes) {
    return;
  }
  Vault::WipeText(entries[static_cast<size_t>(i)].Wachtwoord);
  entries.erase(entries.begin() + i);
  Vault::SaveVault();  // a failure is shown by the store; the entry stays removed in memory
  App::FillEntryList(i);
  App::SetStatusText(t.statusDeleted + std::to_string(entries.size()) + t.statusPasswordsClose);
}

void MoveSelectedEntry(int step) {
  const int i = App::SelectedIndex();
  const int j = i + step;
  std::vector<Vault::Entry>& entries = Vault::Entries();
  if (i < 0 || j < 0 || j >= static_cast<int>(entries.size())) return;
  std::swap(entries[static_cast<size_t>(i)], entries[static_cast<size_t>(j)]);
  Vault::SaveVault();
  // Only the two rows touched are redrawn; the moved entry stays selected.
  GtkTreeView* list = GTK_TREE_VIEW(App::ControlWidget(App::EntryList));
  App::EntryRowChanged(gtk_tree_view_get_model(list), i);
  App::EntryRowChanged(gtk_tree_view_get_model(list), j);
  GtkTreePath* path = gtk_tree_path_new_from_indices(j, -1);
  gtk_tree_view_set_cursor(list, path, nullptr, FALSE);
  gtk_tree_path_free(path);
  App::RefreshDetails();
}

}  // namespace Commands
