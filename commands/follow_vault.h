// Following the vault file while it is open: a version that another computer saved into the
// synced folder is brought in on the timer tick and merged with what the window holds.
#pragma once

#include <string>

namespace Commands {

// On the timer tick: brings in a new version of the vault file, asking for its master
// password when it has another. Waits while a dialog is open.
void FollowVaultFile();

// Whether the file may be followed now: a vault open, no dialog open, no lock or quit due.
[[nodiscard]] bool MayFollowNow();
// A copy beside the vault at path holds the version the window last read or saved there: a
// sync tool set that version aside, so the next one at the vault's path did not grow from it.
void NoteSetAside(const std::string& path);

}  // namespace Commands
