// What the window shows after another version of the vault was brought in: the status line,
// the list with its selection kept, and names as a person reads them.
#pragma once

#include <string>
#include <vector>

#include "common/entry_merge.h"
#include "vault/vault.h"

namespace Commands {

// "Mail (ann)" as the window shows it, or the description alone when it has no user name.
[[nodiscard]] std::string EntryName(const Vault::Entry& entry);
// The last part of path as valid UTF-8, whatever bytes the name holds.
[[nodiscard]] std::string ShownFileName(const std::string& path);
// forms[0] for one, else forms[1] with the number filled in.
[[nodiscard]] std::string Counted(const char* const (&forms)[2], size_t count);

// What a merge changed, for the status bar, the conflict first: "Two versions kept: Mail
// (ann). " (or "") for before, and ": 1 added, 1 changed" (or "") for after the line's
// subject.
struct ChangesShown {
  std::string twins;
  std::string counts;
};
[[nodiscard]] ChangesShown ChangesText(const Common::MergeReport& report,
                                       const std::vector<Vault::Entry>& merged);
// Shows a status line of the sync code. A line that names two versions kept stays while it
// is shown: a lesser one is added after it instead of replacing it.
void ShowSyncStatus(const std::string& text, bool namesConflict);

// The selected entry before a merge, found again after it.
struct KeptSelection {
  int index = -1;
  Vault::Entry entry;  // secret: a copy, wiped by ShowListKeeping
};
[[nodiscard]] KeptSelection RememberSelection();
// Fills the list from Entries with the remembered entry selected where it still exists (the
// same entry, else the one with its description and user name, else the same row).
void ShowListKeeping(KeptSelection& selection);

}  // namespace Commands
