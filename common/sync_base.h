// What this computer knows of the versions it shares with another one through a synced
// folder, kept in the user's state folder, never beside the vault: the last version of the
// vault it received from another computer (a base both had), and the copies the user turned
// down. No GTK.
#pragma once

#include <string>
#include <vector>

#include "vault/vault.h"

namespace Common {

// The state folder, ending in "/": $XDG_STATE_HOME/lockwell/, else
// $HOME/.local/state/lockwell/; empty when neither variable is set.
[[nodiscard]] std::string StateDir();
// Where the common base of the vault in ConfigDir is kept.
[[nodiscard]] std::string CommonBasePath();

// Keeps sealed, the bytes of a version of the vault that another computer wrote and this
// one read, as the common base from now on. A failure keeps the previous base.
void KeepCommonBase(const std::string& sealed);
// The common base's entries, opened with the open vault's key: false when none is kept or
// it does not open with that key. Secret: the caller wipes list.
[[nodiscard]] bool ReadCommonBase(std::vector<Vault::Entry>& list);
// Seals list as the common base with the open vault's key: after a change of master password.
void ResealCommonBase(const std::vector<Vault::Entry>& list);
// Forgets the base and the declined copies: a new vault was made at this place.
void ForgetCommonBase();

// Copies the user turned down, by their stamp, so that they are not asked about again until
// they change; remembered across runs.
void DeclineCopy(const std::string& path);
[[nodiscard]] bool IsDeclinedCopy(const std::string& path);

}  // namespace Common
