#include "commands/vault_copies.h"

#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/message_box.h"
#include "app/status_bar.h"
#include "commands/follow_vault.h"
#include "common/entry_merge.h"
#include "common/sync_copies.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Commands {
namespace {

using Vault::Entry;

Vault::FileIdentity gFolderSeen;  // the folder as last scanned
std::set<std::string> gAsked;     // copies offered in this run, whatever the answer
std::set<std::string> gAtLogin;   // copies that were there at the last login

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

auto Fields(const Entry& e) { return std::tie(e.Omschrijving, e.Url, e.Gebruiker, e.Wachtwoord); }

// Whether every entry of copy is in saved, so that removing the copy loses nothing.
bool AllSaved(const std::vector<Entry>& copy, const std::vector<Entry>& saved) {
  std::vector<const Entry*> sorted;
  sorted.reserve(saved.size());
  for (const Entry& e : saved) sorted.push_back(&e);
  const auto less = [](const Entry* a, const Entry* b) { return Fields(*a) < Fields(*b); };
  std::ranges::sort(sorted, less);
  return std::ranges::all_of(
      copy, [&](const Entry& e) { return std::ranges::binary_search(sorted, &e, less); });
}

void Remove(const std::string& path) {
  if (unlink(path.c_str()) == 0) {
    App::SetStatusText(Filled(Texts::kText.statusCopyRemoved, {Vault::FileNameOf(path)}));
  }
}

// The copy's entries, with the held key or, for another key, with its own password.
bool ReadCopy(const std::string& path, std::vector<Entry>& list, Vault::FileIdentity& seen) {
  bool otherKey = false;
  if (Vault::ReadWithHeldKey(path, list, seen, otherKey) == Vault::Ok) return true;
  if (!otherKey) return false;
  const Texts::Table& t = Texts::kText;
  Vault::KeyState keys{};
  if (!ReadWithItsPassword(path, t.copyPasswordTitle,
                           Filled(t.copyPasswordPrompt, {Vault::FileNameOf(path)}), list, seen,
                           keys)) {
    return false;
  }
  Vault::WipeAndFree(keys.key, Vault::kKeySize);  // only its entries are wanted
  return true;
}

// A copy that appears while the vault is open and was written after the version the window
// last read most likely grew from it: three-way. Others (found at login, older ones) share no
// base the window knows of: a union.
void MergeCopy(const std::string& path, const std::vector<Entry>& copy,
               const Vault::FileIdentity& seen, std::vector<Entry>& merged,
               Common::MergeReport& report) {
  const Vault::FileIdentity& base = Vault::BaseVersion();
  const bool sharesBase =
      !gAtLogin.contains(path) && std::tie(seen.modifiedSeconds, seen.modifiedNanoseconds) >
                                      std::tie(base.modifiedSeconds, base.modifiedNanoseconds);
  if (sharesBase) {
    Common::MergeThreeWay(Vault::BaseEntries(), Vault::Entries(), copy, merged, report);
  } else {
    Common::MergeUnion(Vault::Entries(), copy, merged, report);
  }
}

// Saves merged as the vault; true when it is on disk.
bool SaveMerged(std::vector<Entry>& merged) {
  Vault::WipeEntries(Vault::Entries());
  Vault::Entries().swap(merged);
  const Vault::VaultError result = Vault::SaveVaultQuietly();
  if (result == Vault::Ok) return true;
  App::ShowMessageBox(Texts::kText.programTitle,
                      Texts::kText.savingFailed + Vault::WriteErrorText(result),
                      App::MessageIcon::Error, App::MessageButtons::Ok);
  return false;
}

bool Asked(const std::string& name, const Common::MergeReport& report) {
  const std::string question =
      Filled(Texts::kText.copyQuestion,
             {name, std::to_string(report.added), std::to_string(report.twins.size())});
  return App::ShowMessageBox(Texts::kText.programTitle, question, App::MessageIcon::Information,
                             App::MessageButtons::YesNo) == App::MessageAnswer::Yes;
}

void OfferCopy(const std::string& path) {
  if (Vault::IsOwnVersion(path)) return Remove(path);
  if (Declined(path)) return;
  std::vector<Entry> copy, merged;  // secret: wiped below
  Vault::FileIdentity seen;
  Common::MergeReport report;
  if (ReadCopy(path, copy, seen)) MergeCopy(path, copy, seen, merged, report);
  const std::string name = Vault::FileNameOf(path);
  if (!seen.present) {
    // Unreadable, or its password not given: as a No.
  } else if (report.sameAsOurs) {
    Remove(path);
  } else if (Asked(name, report)) {
    KeptSelection selection = RememberSelection();
    const std::string changes = ChangesText(report, merged);
    if (SaveMerged(merged) && AllSaved(copy, Vault::Entries())) (void)unlink(path.c_str());
    ShowListKeeping(selection);
    App::SetStatusText(Filled(Texts::kText.statusCopyMerged, {name}) + changes);
  }
  Vault::WipeEntries(copy);
  Vault::WipeEntries(merged);
}

// Where the copies are: beside the file that a link at the vault's name leads to (into a
// synced folder, say), since the sync tool makes them there.
std::string SyncedVault() {
  const std::string followed = Vault::FollowLinks(Vault::VaultPath());
  return followed.empty() ? Vault::VaultPath() : followed;
}

}  // namespace

void OfferVaultCopies() {
  if (!MayFollowNow()) return;
  const std::string vault = SyncedVault();
  const Vault::FileIdentity folder = Vault::IdentityAt(FolderOf(vault));
  if (folder == gFolderSeen) return;
  gFolderSeen = folder;
  for (const std::string& path : Common::FindVaultCopies(vault)) {
    if (!MayFollowNow()) {
      gFolderSeen = {};  // look again once the way is free
      return;
    }
    if (gAsked.insert(path).second) OfferCopy(path);
  }
}

void ScanCopiesAfterLogin() {
  const std::vector<std::string> found = Common::FindVaultCopies(SyncedVault());
  gAtLogin = {found.begin(), found.end()};
  gFolderSeen = {};
}

}  // namespace Commands
