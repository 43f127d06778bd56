#include "commands/login.h"

#include "app/entry_list.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "commands/vault_copies.h"
#include "common/paths.h"
#include "common/sync_base.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {
namespace {

using VaultOpener = Vault::VaultError (*)(const std::string& path, std::string_view password);

// Asks for the master password, then opens the vault file with it while the status bar says
// what is going on; the password is wiped here. False when the user gave up.
bool AskAndOpen(const char* title, const char* prompt, bool confirm, const char* status,
                VaultOpener open, Vault::VaultError& result) {
  std::string password;
  if (!AskMasterPassword(title, prompt, confirm, password)) return false;
  App::SetStatusText(status);
  App::PaintNow();
  result = open(Common::VaultFilePath(), password);
  Vault::WipeText(password);
  return true;
}

// Asks for a new master password and creates the vault.
bool CreateFirstVault() {
  const Texts::Table& t = Texts::kText;
  Vault::VaultError result = Vault::Ok;
  if (!AskAndOpen(t.newVaultTitle, t.newVaultPrompt, true, t.statusCreatingVault,
                  Vault::CreateVault, result)) {
    return false;
  }
  if (result != Vault::Ok) {
    App::ShowMessageBox(t.programTitle, t.creatingFailed + Vault::ErrorText(result),
                        App::MessageIcon::Error, App::MessageButtons::Ok);
    return false;
  }
  Common::ForgetCommonBase();  // what an earlier vault here shared is no base of this one
  return true;
}

// Asks until the vault opens or the user gives up.
bool OpenExistingVault() {
  const Texts::Table& t = Texts::kText;
  for (;;) {
    Vault::VaultError result = Vault::Ok;
    if (!AskAndOpen(t.logInTitle, t.logInPrompt, false, t.statusOpeningVault, Vault::OpenVault,
                    result)) {
      return false;
    }
    if (result == Vault::Ok) return true;
    App::SetStatusText(t.statusLoggedOut);
    App::ShowWarning(t.programTitle, Vault::ErrorText(result));
  }
}

}  // namespace

bool LogIn() {
  const bool opened =
      Common::VaultFileExists(Common::VaultFilePath()) ? OpenExistingVault() : CreateFirstVault();
  if (!opened) return false;
  App::SetShowPasswords(false);
  App::RestartIdleCountdown();
  App::SetStatusText(Texts::kText.statusLoggedIn + std::to_string(Vault::Entries().size()) +
                     Texts::kText.statusPasswordCount);
  App::FillEntryList(0);
  ScanCopiesAfterLogin();
  return true;
}

void LogOut(void (*settlePendingCopy)()) {
  Vault::CloseVault();
  settlePendingCopy();
  App::ClearEntryList();
  App::RefreshDetails();
  App::ShowIdleCountdown(0);
  App::SetStatusText(Texts::kText.statusLoggedOut);
  App::ClearLockRequest();
}

}  // namespace Commands
