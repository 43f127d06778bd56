#include "commands/unsaved_changes.h"

#include "app/message_box.h"
#include "app/status_bar.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {

void SaveChange(const std::string& done) {
  const Texts::Table& t = Texts::kText;
  const bool owed = Vault::HasUnsavedChanges();
  Vault::SaveVault();  // a failure is shown by the store; the change stays in memory
  if (Vault::HasUnsavedChanges()) {
    App::SetStatusText(t.statusNotSaved);
  } else if (!done.empty()) {
    App::SetStatusText(done);
  } else if (owed) {
    App::SetStatusText(t.statusSaved);
  }
}

bool MayLeave() {
  if (!Vault::HasUnsavedChanges()) return true;
  // The question itself says why: no error box first.
  const Vault::VaultError result = Vault::SaveVaultQuietly();
  if (result == Vault::Ok) return true;
  const Texts::Table& t = Texts::kText;
  const std::string question =
      t.leaveUnsavedBefore + Vault::WriteErrorText(result) + t.leaveUnsavedAfter;
  if (App::ShowMessageBox(t.programTitle, question, App::MessageIcon::Warning,
                          App::MessageButtons::YesNo) != App::MessageAnswer::Yes) {
    return false;
  }
  Vault::CloseVault();  // lost by choice: nothing is tried again on the way out
  return true;
}

bool SaveBeforeLock() {
  // A box would hold the lock back with the vault on screen until someone answers it.
  return !Vault::HasUnsavedChanges() || Vault::SaveVaultQuietly() == Vault::Ok;
}

}  // namespace Commands
