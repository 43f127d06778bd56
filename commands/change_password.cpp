#include "commands/change_password.h"

#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "common/paths.h"
#include "common/sync_base.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {

void ChangeMasterPasswordCommand() {
  if (!Vault::IsVaultOpen()) return;
  const Texts::Table& t = Texts::kText;
  std::string password;
  if (!AskMasterPassword(t.changeTitle, t.changeCurrentPrompt, false, password)) return;
  // The file, not the key in memory: proves the user knows the password the file opens with.
  const Vault::VaultError checked = Vault::CheckVaultFile(Common::VaultFilePath(), password);
  Vault::WipeText(password);
  if (checked != Vault::Ok) {
    App::ShowWarning(t.changeTitle, t.currentPasswordWrong);
    return;
  }
  if (!AskMasterPassword(t.changeTitle, t.changeNewPrompt, true, password)) return;
  App::PaintNow();
  std::vector<Vault::Entry> base;  // secret: wiped below
  const bool hadBase = Common::ReadCommonBase(base);
  const Vault::VaultError result = Vault::ChangeMasterPassword(password);
  Vault::WipeText(password);
  // The base both computers had stays one, now under the new key.
  if (result == Vault::Ok && hadBase) Common::ResealCommonBase(base);
  Vault::WipeEntries(base);
  if (result != Vault::Ok) {
    App::ShowMessageBox(t.changeTitle, t.changingFailed + Vault::WriteErrorText(result),
                        App::MessageIcon::Error, App::MessageButtons::Ok);
    return;
  }
  App::SetStatusText(t.statusPasswordChanged);
  App::ShowMessageBox(t.changeTitle, t.passwordChanged, App::MessageIcon::Information,
                      App::MessageButtons::Ok);
}

}  // namespace Commands
