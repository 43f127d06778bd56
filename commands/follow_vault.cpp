#include "commands/follow_vault.h"

#include <unistd.h>

#include <optional>
#include <utility>
#include <vector>

#include "app/dialog_window.h"
#include "app/main_loop.h"
#include "commands/password_dialog.h"
#include "commands/sync_status.h"
#include "common/sync_base.h"
#include "common/sync_copies.h"
#include "common/sync_merge.h"
#include "texts/fill.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {
namespace {

// The last version of the vault file looked at: one that could not be read (a writer still
// busy with it) or was turned down is not tried again until the file changes once more.
Vault::FileIdentity gLookedAt;
// The stamp of the known version when a copy of it was seen beside the vault.
std::optional<Vault::VersionStamp> gSetAside;

// The copies beside the vault that hold the known version; true when a sync tool set that
// version aside, now or earlier.
bool KnownVersionSetAside(std::vector<std::string>& copies) {
  for (const std::string& path : Common::FindVaultCopies(Vault::VaultPath())) {
    if (Vault::IsKnownVersion(path)) copies.push_back(path);
  }
  Vault::VersionStamp known{};
  return !copies.empty() || (gSetAside && Vault::KnownStamp(known) && known == *gSetAside);
}

// Of the copies of the known version, those whose every entry is in ours: the merge takes
// them in whole, so they may go once it is saved.
std::vector<std::string> TakenWhole(const std::vector<std::string>& copies) {
  std::vector<std::string> whole;
  for (const std::string& path : copies) {
    std::vector<Vault::Entry> copy;  // secret: wiped below
    Vault::FileIdentity seen;
    bool otherKey = false;
    if (Vault::ReadWithHeldKey(path, copy, seen, otherKey) == Vault::Ok &&
        Common::MissingEntries(Vault::Entries(), copy).empty()) {
      whole.push_back(path);
    }
    Vault::WipeEntries(copy);
  }
  return whole;
}

// Merges theirs into what the window holds, takes it and shows what changed.
void BringIn(std::vector<Vault::Entry>& theirs, const Vault::FileIdentity& seen,
             Vault::KeyState* keys, const std::string& sealed) {
  const Texts::Table& t = Texts::kText;
  std::vector<std::string> setAside;
  const bool apart = KnownVersionSetAside(setAside) || Vault::HasUnsavedChanges();
  const std::vector<std::string> mayGo = TakenWhole(setAside);
  // Our own earlier version come back is no version of another computer's.
  const bool fromElsewhere = !Vault::IsOwnVersion(Vault::VaultPath());
  KeptSelection selection = RememberSelection();
  Common::VersionMerge merge;
  Common::MergeArrived(Vault::Entries(), theirs,
                       apart ? Common::Arrival::Apart : Common::Arrival::GrewFromOurs, merge);
  const ChangesShown changes = ChangesText(merge.report, merge.merged);
  // The same list written again (or only touched) is taken without a word.
  const bool nothingNew = merge.merged == Vault::Entries() && keys == nullptr;
  // A failed save is told by the store and kept as an unsaved change.
  const bool saved =
      Vault::TakeVersion(std::move(theirs), std::move(merge.merged), seen, keys) == Vault::Ok;
  if (fromElsewhere) Common::KeepCommonBase(sealed);
  gSetAside.reset();
  std::string removed;
  for (const std::string& path : saved ? mayGo : std::vector<std::string>{}) {
    if (unlink(path.c_str()) == 0) {
      removed += " - " + Texts::Fill(t.statusCopyRemoved, {ShownFileName(path)});
    }
  }
  if (nothingNew && removed.empty()) {
    Vault::WipeEntry(selection.entry);
    return;
  }
  ShowListKeeping(selection);
  ShowSyncStatus(changes.twins + t.statusUpdated + changes.counts +
                     (keys != nullptr ? t.statusPasswordTaken : "") + removed,
                 !changes.twins.empty());
}

}  // namespace

bool MayFollowNow() {
  return Vault::IsVaultOpen() && App::DialogWindowWidget() == nullptr && !App::LockIsDue() &&
         !App::QuitIsRequested();
}

void NoteSetAside(const std::string& path) {
  Vault::VersionStamp stamp{};
  if (Vault::VersionStampAt(path, stamp)) gSetAside = stamp;
}

void FollowVaultFile() {
  if (!MayFollowNow() || !Vault::VaultFileChanged()) return;
  const std::string path = Vault::VaultPath();
  const Vault::FileIdentity now = Vault::IdentityAt(path);
  if (now == gLookedAt || Common::IsDeclinedCopy(path)) return;
  gLookedAt = now;
  std::vector<Vault::Entry> theirs;  // secret: wiped here or taken by the store
  Vault::FileIdentity seen;
  std::string sealed;
  bool otherKey = false;
  if (Vault::ReadWithHeldKey(path, theirs, seen, otherKey, &sealed) == Vault::Ok) {
    BringIn(theirs, seen, nullptr, sealed);
  } else if (otherKey) {
    const Texts::Table& t = Texts::kText;
    Vault::KeyState keys{};
    if (ReadWithItsPassword(path, t.followPasswordTitle, t.followPasswordPrompt, theirs, seen, keys,
                            sealed)) {
      BringIn(theirs, seen, &keys, sealed);
    } else {
      Common::DeclineCopy(path);  // kept as a copy at the next save, and not asked again
    }
  }
  Vault::WipeEntries(theirs);
}

}  // namespace Commands
