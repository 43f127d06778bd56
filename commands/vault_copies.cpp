#include "commands/vault_copies.h"

#include <unistd.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/message_box.h"
#include "commands/follow_vault.h"
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

using Vault::Entry;

constexpr size_t kNamesShown = 3;  // removed entries named in the question; the rest counted

Vault::FileIdentity gFolderSeen;  // the folder as last scanned
std::set<std::string> gAsked;     // copies offered in this run, whatever the answer

// The copies that appeared together, read. Secret: their entries, wiped when it goes.
struct Offered {
  std::vector<std::string> paths;
  std::vector<std::vector<Entry>> lists;
  ~Offered() {
    for (std::vector<Entry>& list : lists) Vault::WipeEntries(list);
  }
};

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The copy's entries, with the held key or, for another key, with its own password; false
// with a reason when it cannot be read, or with none when its password was not given.
bool ReadCopy(const std::string& path, std::vector<Entry>& list, std::string& why) {
  Vault::FileIdentity seen;
  bool otherKey = false;
  const Vault::VaultError read = Vault::ReadWithHeldKey(path, list, seen, otherKey);
  if (read == Vault::Ok) return true;
  if (!otherKey) {
    why = Vault::ErrorText(read);
    return false;
  }
  const Texts::Table& t = Texts::kText;
  Vault::KeyState keys{};
  std::string sealed;
  if (!ReadWithItsPassword(path, t.copyPasswordTitle,
                           Texts::Fill(t.copyPasswordPrompt, {ShownFileName(path)}), list, seen,
                           keys, sealed)) {
    return false;
  }
  Vault::WipeAndFree(keys.key, Vault::kKeySize);  // only its entries are wanted
  return true;
}

// Reads each copy not asked about yet; one of the known version tells that it was set aside.
// What could not be read is added to notes.
void ReadNewCopies(const std::vector<std::string>& found, Offered& offered, std::string& notes) {
  for (const std::string& path : found) {
    if (!MayFollowNow()) return;
    if (Vault::IsKnownVersion(path)) NoteSetAside(path);
    if (!gAsked.insert(path).second || Common::IsDeclinedCopy(path)) continue;
    std::vector<Entry> list;  // secret: moved into offered or wiped
    std::string why;
    if (ReadCopy(path, list, why)) {
      offered.paths.push_back(path);
      offered.lists.push_back(std::move(list));
      continue;
    }
    Vault::WipeEntries(list);
    if (why.empty()) {
      Common::DeclineCopy(path);  // its password not given: as a No
    } else {
      notes += (notes.empty() ? "" : " - ") +
               Texts::Fill(Texts::kText.statusCopyUnreadable, {ShownFileName(path), why});
    }
  }
}

// "adds 1 entry and removes 2 entries (Shop, Bank)"
std::string WhatMergingDoes(const Common::CopiesReport& report) {
  const Texts::Table& t = Texts::kText;
  std::vector<std::string> parts;
  const Common::MergeReport& total = report.total;
  if (total.added > 0) parts.push_back(Counted(t.copyAdds, total.added));
  if (total.changed > 0) parts.push_back(Counted(t.copyChanges, total.changed));
  if (total.removed > 0) {
    std::string names;
    for (size_t n = 0; n < report.removedNames.size() && n < kNamesShown; ++n) {
      names += (n > 0 ? ", " : "") + report.removedNames[n];
    }
    if (report.removedNames.size() > kNamesShown) {
      names = Texts::Fill(t.namesAndMore,
                          {names, std::to_string(report.removedNames.size() - kNamesShown)});
    }
    parts.push_back(Counted(t.copyRemoves, total.removed) + " (" + names + ")");
  }
  if (!report.twinNames.empty())
    parts.push_back(Counted(t.copyKeepsTwice, report.twinNames.size()));
  if (parts.empty()) return t.copyOnlyOrder;
  std::string text = parts[0];
  for (size_t n = 1; n < parts.size(); ++n) {
    text += (n + 1 == parts.size() ? t.cliAnd : ", ") + parts[n];
  }
  return text;
}

bool Asked(const Offered& offered, const Common::CopiesReport& report) {
  const Texts::Table& t = Texts::kText;
  const size_t count = offered.paths.size();
  const bool lockwells =
      Vault::FileNameOf(offered.paths[0]).find(Vault::kKeptCopyInfix) != std::string::npos;
  const std::string question =
      count == 1 ? Texts::Fill(t.copyKeptBy[lockwells ? 1 : 0], {ShownFileName(offered.paths[0])}) +
                       "\n\n" + Texts::Fill(t.mergingDoes[0], {WhatMergingDoes(report)}) + "\n\n" +
                       t.copyQuestionEnd
                 : Texts::Fill(t.copiesFound, {std::to_string(count)}) + "\n\n" +
                       Texts::Fill(t.mergingDoes[1], {WhatMergingDoes(report)}) + "\n\n" +
                       Texts::Fill(t.copiesQuestionEnd, {std::to_string(count)});
  return App::ShowMessageBox(t.programTitle, question, App::MessageIcon::Information,
                             App::MessageButtons::YesNo) == App::MessageAnswer::Yes;
}

// Saves merged as the vault; true when it is on disk. A failure is told and remembered.
bool SaveMerged(std::vector<Entry>& merged) {
  Vault::WipeEntries(Vault::Entries());
  Vault::Entries().swap(merged);
  Vault::SaveVault();
  return !Vault::HasUnsavedChanges();
}

// Removes each copy whose entries are all accounted for by what is saved; the names of those
// removed, for the status line.
std::string RemoveMerged(const Offered& offered, const std::vector<Entry>& base) {
  std::string removed;
  for (size_t i = 0; i < offered.paths.size(); ++i) {
    if (Common::CopyMayGo(offered.lists[i], Vault::Entries(), base) &&
        unlink(offered.paths[i].c_str()) == 0) {
      removed += (removed.empty() ? "" : ", ") + ShownFileName(offered.paths[i]);
    }
  }
  return removed;
}

// Merges the copies in turn into the vault's entries.
void MergeInTurn(const Offered& offered, Common::VersionMerge& merge,
                 Common::CopiesReport& report) {
  std::vector<const std::vector<Entry>*> lists;
  for (const std::vector<Entry>& list : offered.lists) lists.push_back(&list);
  Common::MergeCopies(Vault::Entries(), lists, EntryName, Common::BaseUse::CommonBase, merge,
                      report);
}

// Removes the copies that hold nothing new without a question, and leaves the others; what
// went is added to notes.
void RemoveThoseWithNothingNew(Offered& offered, std::string& notes) {
  Offered rest;
  std::string removed;
  for (size_t i = 0; i < offered.paths.size(); ++i) {
    Offered one;
    one.paths.push_back(offered.paths[i]);
    one.lists.push_back(std::move(offered.lists[i]));
    Common::VersionMerge merge;
    Common::CopiesReport report;
    MergeInTurn(one, merge, report);
    const std::string gone = report.total.sameAsOurs ? RemoveMerged(one, merge.base) : "";
    removed += (removed.empty() || gone.empty() ? "" : ", ") + gone;
    if (!gone.empty()) continue;
    rest.paths.push_back(std::move(one.paths[0]));
    rest.lists.push_back(std::move(one.lists[0]));
  }
  if (!removed.empty()) {
    notes += (notes.empty() ? "" : " - ") + Texts::Fill(Texts::kText.statusCopyRemoved, {removed});
  }
  std::swap(offered.paths, rest.paths);
  std::swap(offered.lists, rest.lists);
}

// Shown together, so that none hides another.
void MergeOffered(Offered& offered, std::string& notes) {
  const Texts::Table& t = Texts::kText;
  RemoveThoseWithNothingNew(offered, notes);
  if (!notes.empty()) ShowSyncStatus(notes, false);
  if (offered.paths.empty()) return;
  Common::VersionMerge merge;
  Common::CopiesReport report;
  MergeInTurn(offered, merge, report);
  if (!Asked(offered, report)) {
    for (const std::string& path : offered.paths) Common::DeclineCopy(path);
    return;
  }
  KeptSelection selection = RememberSelection();
  const bool saved = SaveMerged(merge.merged);
  if (saved) (void)RemoveMerged(offered, merge.base);
  ShowListKeeping(selection);
  Common::MergeReport shown = report.total;
  const ChangesShown changes = ChangesText(shown, {});
  std::string twins;
  for (const std::string& name : report.twinNames) twins += (twins.empty() ? "" : ", ") + name;
  const std::string subject =
      offered.paths.size() == 1
          ? Texts::Fill(t.statusCopyMerged, {ShownFileName(offered.paths[0])})
          : Texts::Fill(t.statusCopiesMerged, {std::to_string(offered.paths.size())});
  ShowSyncStatus(
      (twins.empty() ? "" : Texts::Fill(t.twoVersionsKept, {twins})) + subject + changes.counts,
      !twins.empty());
}

}  // namespace

void OfferVaultCopies() {
  if (!MayFollowNow()) return;
  const Vault::FileIdentity folder =
      Vault::IdentityAt(FolderOf(Common::SyncedVaultPath(Vault::VaultPath())));
  if (folder == gFolderSeen) return;
  gFolderSeen = folder;
  Offered offered;
  std::string notes;
  ReadNewCopies(Common::FindVaultCopies(Vault::VaultPath()), offered, notes);
  if (!MayFollowNow()) {
    for (const std::string& path : offered.paths) gAsked.erase(path);
    gFolderSeen = {};  // look again once the way is free
    return;
  }
  MergeOffered(offered, notes);
}

void ScanCopiesAfterLogin() { gFolderSeen = {}; }

}  // namespace Commands
