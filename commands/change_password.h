// Replacing the master password of the open vault.
#pragma once

namespace Commands {

// Checks the current password against the vault file, asks for the new one twice and
// re-keys the vault with it; every outcome is shown to the user.
void ChangeMasterPasswordCommand();

}  // namespace Commands
