#include "features/backup.h"

#include <sys/stat.h>

#include <cstdlib>

#include "app/file_requester.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "common/paths.h"
#include "features/backup_names.h"
#include "features/web_address.h"
#include "texts/texts.h"
#include "vault/file_io.h"
#include "vault/vault.h"

namespace Features {
namespace {

bool ExistsAsFile(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 &&
         !(stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

}  // namespace

void MakeBackup() {
  if (!Vault::IsVaultOpen()) return;
  const Texts::Table& t = Texts::kText;
  const std::string proposed = TodaysBackupPath(HomeFolder(std::getenv("HOME")), t.backupPrefix);
  std::string path = App::AskSaveFile(t.makeBackupTitle, proposed, t.vaultFilter);
  if (path.empty()) return;
  path = WithBackupExtension(path);
  if (IsVaultOrCompanion(path, Common::VaultFilePath())) {
    App::ShowWarning(t.makeBackupTitle, t.backupIsVault);
    return;
  }
  if (ExistsAsFile(path) &&
      App::ShowMessageBox(t.makeBackupTitle, t.fileExists, App::MessageIcon::Plain,
                          App::MessageButtons::YesNo) != App::MessageAnswer::Yes) {
    return;
  }
  // With the vault's owner and mode; a fresh temporary name, as the folder is the user's.
  if (Vault::CopyWholeFile(Common::VaultFilePath(), path, {.keepOwner = true})) {
    App::SetStatusText(t.statusBackupMade + Vault::FileNameOf(path));
  } else {
    App::ShowMessageBox(t.makeBackupTitle, t.backupFailed, App::MessageIcon::Error,
                        App::MessageButtons::Ok);
  }
}

}  // namespace Features
