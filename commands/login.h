// Logging in (creating the vault on the first run) and logging out.
#pragma once

namespace Commands {

// True when a vault is open and shown; false when the user cancelled or the first vault
// could not be created.
[[nodiscard]] bool LogIn();
// Closes the vault and empties every view of it.
void LogOut();

}  // namespace Commands
