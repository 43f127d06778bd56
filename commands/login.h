// Logging in (creating the vault on the first run) and logging out.
#pragma once

namespace Commands {

// True when a vault is open and shown; false when the user cancelled or the first vault
// could not be created.
[[nodiscard]] bool LogIn();
// Closes the vault, settles a pending clipboard copy (through the function handed in,
// which clears the clipboard if it still holds the copy) and empties every view of it.
void LogOut(void (*settlePendingCopy)());

}  // namespace Commands
