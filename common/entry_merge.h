// Merging two versions of an entry list: three-way against the version both came from, or a
// union where no such version is known. Shared by the window and the companion; no GTK.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vault/entries.h"

namespace Common {

// What a merge did, for the messages. Indices point into the merged list.
struct MergeReport {
  size_t added = 0;               // entries that only the other version had
  std::vector<size_t> addedAt;    // those entries' indices in the merged list, in order
  size_t changed = 0;             // entries the other version changed and this one did not
  size_t removed = 0;             // entries the other version deleted and this one left alone
  std::vector<size_t> removedAt;  // those entries' indices in ours, in order
  // Pairs kept side by side because the two versions differ: first, then second index.
  struct Twin {
    size_t first;
    size_t second;
    std::vector<size_t> fields;  // rows of kEntryFields in which the two differ
  };
  std::vector<Twin> twins;
  // Whether the merged list holds everything of ours and of theirs, so that ours alone
  // (nothing new) or theirs alone (nothing of ours lost) could be saved as it is.
  bool sameAsOurs = false;
  bool sameAsTheirs = false;
};

// diff3 over the lists as sequences: a run changed on one side only takes that side; a run
// changed differently on both keeps both (ours first), each differing entry pair named in
// twins; nothing ours added is dropped. Inside such a run, entries are paired by place when
// the runs are equally long and alike, else by description and user name; a pair changed in
// different fields becomes one entry, a pair changed in the same field a twin whose two
// versions share the other fields' changes. An entry deleted on one side and untouched on
// the other stays deleted; deleted on one side and changed on the other, it stays changed.
// Secret: merged holds copies of passwords; the caller wipes it (Vault::WipeEntries).
void MergeThreeWay(const std::vector<Vault::Entry>& base, const std::vector<Vault::Entry>& ours,
                   const std::vector<Vault::Entry>& theirs, std::vector<Vault::Entry>& merged,
                   MergeReport& report);
// Every entry of ours, then the entries of theirs that ours lacks, each after its
// predecessor in theirs where that is in ours; equal entries appear once. An entry of theirs
// that has the description and user name of one of ours but differs from it is a twin, kept
// right after that entry. Secret: as for MergeThreeWay.
void MergeUnion(const std::vector<Vault::Entry>& ours, const std::vector<Vault::Entry>& theirs,
                std::vector<Vault::Entry>& merged, MergeReport& report);

// The indices of candidates that equal neither an entry of present nor an earlier candidate
// (every field compared), in order.
[[nodiscard]] std::vector<size_t> MissingEntries(const std::vector<Vault::Entry>& present,
                                                 const std::vector<Vault::Entry>& candidates);

}  // namespace Common
