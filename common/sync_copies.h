// The copies of the vault file that sync tools (Syncthing, Nextcloud and ownCloud, Dropbox)
// and Lockwell itself leave beside it. No GTK.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Common {

// Whether fileName (no folder) names a copy of the vault file called vaultName:
//   Syncthing          kluis.sync-conflict-<date>-<time>-<device>.lwv
//   Nextcloud/ownCloud kluis (conflicted copy <date> <time>).lwv
//   Dropbox            kluis (<name>'s conflicted copy <date>).lwv
//   Lockwell           kluis.lwv.extern-<date>-<time>[-n]
[[nodiscard]] bool IsVaultCopyName(std::string_view vaultName, std::string_view fileName);
// The file a sync tool works on for the vault at vaultPath: the target of the links there (a
// link into a synced folder), else vaultPath itself.
[[nodiscard]] std::string SyncedVaultPath(const std::string& vaultPath);
// The paths of the regular files beside SyncedVaultPath whose names are copies of it, by name.
[[nodiscard]] std::vector<std::string> FindVaultCopies(const std::string& vaultPath);

}  // namespace Common
