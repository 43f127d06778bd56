// Restoring the vault from a backup, with a safety copy of the vault put back on failure.
#pragma once

#include <string>

namespace Features {

// The master password dialog, handed in by the caller so that features need no commands.
// Secret: on true, password holds the typed text and the callee wipes it.
using PasswordAsker = bool (*)(const std::string& title, const std::string& prompt, bool confirm,
                               std::string& password);

// Asks for a backup and its password, checks it, and puts it in place of the vault.
void RestoreBackup(PasswordAsker askPassword);

}  // namespace Features
