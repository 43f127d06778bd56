#include "commands/login.h"

#include <sys/stat.h>

#include "app/entry_list.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "commands/password_dialog.h"
#include "common/paths.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {
namespace {

// Whether a vault file exists: something is at the path and it is not a directory.
bool VaultExists() {
  struct stat info {};
  return stat(App::VaultFilePath().c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// Asks for a new master password and creates the vault; the password is wiped here.
bool CreateFirstVault() {
  const Texts::Table& t = Texts::kText;
  std::string password;
  if (!AskMasterPassword(t.newVaultTitle, t.newVaultPrompt, true, password)) return false;
  App::SetStatusText(t.statusCreatingVault);
  App::PaintNow();
  const Vault::VaultError result = Vault::CreateVault(App::VaultFilePath(), password);
  Vault::WipeText(password);
  if (result != Vault::Ok) {
    App::ShowMessageBox(t.programTitle, t.creatingFailed + Vault::ErrorText(result),
                        App::MessageIcon::Error, App::MessageButtons::Ok);
    return false;
  }
  return true;
}

// Asks until the vault opens or the user gives up; the password is wiped after each try.
bool OpenExistingVault() {
  const Texts::Table& t = Texts::kText;
  for (;;) {
    std::string password;
    if (!AskMasterPassword(t.logInTitle, t.logInPrompt, false, password)) return false;
    App::SetStatusText(t.statusOpeningVault);
    App::PaintNow();
    const Vault::VaultError result = Vault::OpenVault(App::VaultFilePath(), password);
    Vault::WipeText(password);
    if (result == Vault::Ok) return true;
    App::SetStatusText(t.statusLoggedOut);
    App::ShowMessageBox(t.programTitle, Vault::ErrorText(result), App::MessageIcon::Warning,
                        App::MessageButtons::Ok);
  }
}

}  // namespace

bool LogIn() {
  const bool opened = VaultExists() ? OpenExistingVault() : CreateFirstVault();
  if (!opened) return false;
  App::SetShowPasswords(false);
  App::RestartIdleCountdown();
  App::SetStatusText(Texts::kText.statusLoggedIn + std::to_string(Vault::Entries().size()) +
                     Texts::kText.statusPasswordCount);
  App::FillEntryList(0);
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
