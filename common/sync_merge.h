// What the window and the companion do with another version of the vault, a new one at its
// path or a copy beside it: which base, the merge, and whether the copy may go. The rule:
// nothing any computer added or changed is lost unless a computer that had seen it deleted
// it. So a base is a version both computers had, and where none is known the merge is a
// union: at worst an entry comes back. No GTK.
#pragma once

#include <string>
#include <vector>

#include "common/entry_merge.h"
#include "vault/vault.h"

namespace Common {

// A merge of another version into ours. Secret: merged and base hold passwords; both are
// wiped when it goes.
struct VersionMerge {
  std::vector<Vault::Entry> merged;
  std::vector<Vault::Entry> base;  // the version both computers had; empty for a union
  MergeReport report;
  bool withBase = false;

  VersionMerge() = default;
  VersionMerge(const VersionMerge&) = delete;
  VersionMerge& operator=(const VersionMerge&) = delete;
  ~VersionMerge();
};

// How a new version at the vault's path came to replace what was there.
enum class Arrival {
  // It replaced the version ours was last read from or saved as, and no sync tool set that
  // version aside as a conflict copy: the sync tool took it for a later version of ours.
  GrewFromOurs,
  // Ours holds a change that is not on disk, or a sync tool set ours aside: the two grew
  // apart from an earlier version.
  Apart,
};

// Merges theirs, which arrived at the vault's path, into ours: against ours itself when it
// grew from ours, else against the kept common base, or as a union where none is known.
void MergeArrived(const std::vector<Vault::Entry>& ours, const std::vector<Vault::Entry>& theirs,
                  Arrival arrival, VersionMerge& out);
// Merges a copy beside the vault into ours: against the kept common base, or a union.
void MergeCopy(const std::vector<Vault::Entry>& ours, const std::vector<Vault::Entry>& copy,
               VersionMerge& out);
// What merging several copies did, in total and per copy; names as the caller's name() gives
// them.
struct CopiesReport {
  MergeReport total;  // counts and sameAsOurs only: its twins and removedAt are left empty
  std::vector<MergeReport> perCopy;
  std::vector<std::string> addedNames;    // every entry the merges added, in order
  std::vector<std::string> removedNames;  // every entry the merges removed, in order
  std::vector<std::string> twinNames;     // every entry kept in two versions, in order
};
using EntryNamer = std::string (*)(const Vault::Entry& entry);
enum class BaseUse {
  CommonBase,  // copies of the vault: against the kept common base where there is one
  Union,       // files from anywhere: nothing is known of where they came from
};
// Merges each copy in turn into ours, against one reading of the common base (or as unions):
// out.merged is ours with every copy merged in.
void MergeCopies(const std::vector<Vault::Entry>& ours,
                 const std::vector<const std::vector<Vault::Entry>*>& copies, EntryNamer name,
                 BaseUse use, VersionMerge& out, CopiesReport& report);
// Whether the copy may be removed once saved is on disk: each of its entries is in saved, or
// is one of base's, which a computer that had seen it changed or removed since.
[[nodiscard]] bool CopyMayGo(const std::vector<Vault::Entry>& copy,
                             const std::vector<Vault::Entry>& saved,
                             const std::vector<Vault::Entry>& base);

}  // namespace Common
