#include "commands/entry_order.h"

#include <string>
#include <utility>

#include "app/entry_list.h"
#include "app/message_box.h"
#include "commands/unsaved_changes.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {

void DeleteSelectedEntry() {
  const int i = App::SelectedIndex();
  if (i < 0) return;
  const Texts::Table& t = Texts::kText;
  std::vector<Vault::Entry>& entries = Vault::Entries();
  const std::string question = t.confirmDeleteBefore +
                               Vault::ShownText(entries[static_cast<size_t>(i)].Omschrijving) +
                               t.confirmDeleteAfter;
  if (App::ShowMessageBox(t.deleteTitle, question, App::MessageIcon::Warning,
                          App::MessageButtons::YesNo) != App::MessageAnswer::Yes) {
    return;
  }
  Vault::EraseEntry(entries, static_cast<size_t>(i));
  App::FillEntryList(i);
  SaveChange(t.statusDeleted + std::to_string(entries.size()) + t.statusPasswordsClose);
}

void MoveSelectedEntry(int step) {
  const int i = App::SelectedIndex();
  const int j = i + step;
  std::vector<Vault::Entry>& entries = Vault::Entries();
  if (i < 0 || j < 0 || j >= static_cast<int>(entries.size())) return;
  std::swap(entries[static_cast<size_t>(i)], entries[static_cast<size_t>(j)]);
  // Only the two rows touched are redrawn; the moved entry stays selected.
  App::RefreshRow(i);
  App::RefreshRow(j);
  App::SelectRow(j);
  App::RefreshDetails();
  SaveChange("");
}

void MoveSelectedUp() { MoveSelectedEntry(-1); }
void MoveSelectedDown() { MoveSelectedEntry(+1); }

}  // namespace Commands
