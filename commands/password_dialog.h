// The one dialog through which the user types a master password.
#pragma once

#include <string>
#include <vector>

#include "commands/dialog_controls.h"
#include "vault/vault.h"

namespace Commands {

// Asks for a password, once or (confirm) twice with at least 8 characters. True with the
// typed text in password; false on cancel or a due idle lock, password then untouched.
// Secret: the caller owns password and wipes it once the vault operation has used it.
[[nodiscard]] bool AskMasterPassword(const std::string& title, const std::string& prompt,
                                     bool confirm, std::string& password);
// Reads the version of the vault at path with its own master password, asked with the dialog:
// true with list, seen, keys and sealed (the file's bytes as read) filled; false when the user
// cancelled or the password did not open it (said in a warning). Secret: the caller owns
// keys.key and wipes list.
[[nodiscard]] bool ReadWithItsPassword(const std::string& path, const std::string& title,
                                       const std::string& prompt, std::vector<Vault::Entry>& list,
                                       Vault::FileIdentity& seen, Vault::KeyState& keys,
                                       std::string& sealed);

}  // namespace Commands
