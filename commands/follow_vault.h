// Following the vault file while it is open: a version that another computer saved into the
// synced folder is brought in on the timer tick, merged with what the window saved since it
// last read the file. Shared with the sync copies: the status text of a merge, the list
// shown again, and the versions the user turned down.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "common/entry_merge.h"
#include "vault/vault.h"

namespace Commands {

// On the timer tick: brings in a new version of the vault file, asking for its master
// password when it has another. Waits while a dialog is open.
void FollowVaultFile();

// Whether the file may be followed now: a vault open, no dialog open, no lock or quit due.
[[nodiscard]] bool MayFollowNow();
// text with each "{}" replaced by the next value.
[[nodiscard]] std::string Filled(std::string text, std::initializer_list<std::string> values);
// What a merge changed, for the status bar: ": 1 added, 1 changed; two versions kept: Mail
// (ann)", or "" when it changed only the order.
[[nodiscard]] std::string ChangesText(const Common::MergeReport& report,
                                      const std::vector<Vault::Entry>& merged);

// The selected entry before a merge, found again after it.
struct KeptSelection {
  int index = -1;
  Vault::Entry entry;  // secret: a copy, wiped by ShowListKeeping
};
[[nodiscard]] KeptSelection RememberSelection();
// Fills the list from Entries with the remembered entry selected where it still exists (the
// same entry, else the one with its description and user name, else the same row).
void ShowListKeeping(KeptSelection& selection);

// Reads the version at path with its own master password, asked with the password dialog:
// true with list, seen and keys filled (the caller owns keys.key); false when the user
// cancelled or the password did not open it (said in a warning).
[[nodiscard]] bool ReadWithItsPassword(const std::string& path, const std::string& title,
                                       const std::string& prompt, std::vector<Vault::Entry>& list,
                                       Vault::FileIdentity& seen, Vault::KeyState& keys);
// Versions of the vault (by their stamp, so also under a copy's name) that the user chose not
// to bring in: not asked about again in this run.
void Decline(const std::string& path);
[[nodiscard]] bool Declined(const std::string& path);

}  // namespace Commands
