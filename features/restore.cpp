#include "features/restore.h"

#include <cstdlib>
#include <string>

#include "app/entry_list.h"
#include "app/file_requester.h"
#include "app/main_loop.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "common/paths.h"
#include "features/backup_names.h"
#include "texts/texts.h"
#include "vault/file_io.h"
#include "vault/vault.h"

namespace Features {
namespace {

void Tell(const char* text, App::MessageIcon icon) {
  App::ShowMessageBox(Texts::kText.restoreTitle, text, icon, App::MessageButtons::Ok);
}

// Puts the backup's bytes in place of the vault, written like every save (0600, through a
// link), and opens it with the backup's password.
bool ReplaceVault(const std::string& backup, const std::string& password) {
  const bool written =
      Vault::WriteVaultBytes(Common::VaultFilePath(), backup.data(), backup.size()) == Vault::Ok;
  // Replaced on purpose: whatever is there now is no change made behind our back.
  Vault::AdoptVaultFileOnDisk(Common::VaultFilePath());
  return written && Vault::OpenVault(Common::VaultFilePath(), password) == Vault::Ok;
}

// Whether the backup opens with the password; a failure is told, and the password wiped.
bool BackupOpens(const std::string& chosen, std::string& password) {
  const Texts::Table& t = Texts::kText;
  App::SetStatusText(t.statusCheckingBackup);
  App::PaintNow();
  const Vault::VaultError checked = Vault::CheckVaultFile(chosen, password);
  if (checked == Vault::Ok) return true;
  Vault::WipeText(password);
  App::SetStatusText("");
  App::ShowWarning(t.restoreTitle, Vault::ErrorText(checked));
  return false;
}

}  // namespace

void RestoreBackup(PasswordAsker askPassword) {
  if (!Vault::IsVaultOpen()) return;
  const Texts::Table& t = Texts::kText;
  const std::string& vaultPath = Common::VaultFilePath();
  const std::string safetyCopy = vaultPath + std::string(Vault::kSafetyCopySuffix);
  const std::string chosen =
      App::AskOpenFile(t.restoreTitle, HomeFolder(std::getenv("HOME")), t.restoreFilter);
  if (chosen.empty() || IsVaultItself(chosen, vaultPath)) return;

  std::string password;  // secret: wiped on every way out
  if (!askPassword(t.restoreTitle, t.restorePrompt, false, password)) return;
  if (!BackupOpens(chosen, password)) return;
  if (App::ShowMessageBox(t.restoreTitle, t.restoreConfirm, App::MessageIcon::Warning,
                          App::MessageButtons::YesNo) != App::MessageAnswer::Yes) {
    Vault::WipeText(password);
    return;
  }

  // The backup is read before the safety copy is written: chosen may be the safety copy
  // itself, and restoring it then undoes the last restore. Without a safety copy nothing
  // is overwritten.
  std::string backup;
  if (!Vault::ReadRegularFile(chosen, Vault::kMaxFileSize, Vault::Beyond::Refused, backup) ||
      !Vault::CopyWholeFile(vaultPath, safetyCopy,
                            {.how = Vault::Replacing::Beside, .keepOwner = true})) {
    Vault::WipeText(password);
    App::SetStatusText("");
    Tell(t.restoreFailedUnchanged, App::MessageIcon::Error);
    return;
  }
  Vault::CloseVault();
  const bool restored = ReplaceVault(backup, password);
  Vault::WipeText(password);
  if (restored) {
    App::FillEntryList(0);
    App::SetStatusText(t.statusBackupRestored + std::to_string(Vault::Entries().size()) +
                       t.statusPasswordCount);
    Tell(t.restoreDone, App::MessageIcon::Information);
    return;
  }
  const bool putBack = Vault::PutFileBackAsVault(safetyCopy, vaultPath) == Vault::Ok;
  Tell(putBack ? t.restoreFailedPutBack : t.restoreFailedNotPutBack, App::MessageIcon::Error);
  App::RequestLock();
}

}  // namespace Features
