// Changes the vault file could not take: said in the status bar, tried again on the next
// save and before leaving, and asked about when they would be lost.
#pragma once

#include <string>

namespace Commands {

// Saves Entries after a change. The status bar then shows done ("" leaves it as it is), or
// that the change is not saved; a save that makes good an earlier failure says "Saved".
void SaveChange(const std::string& done);
// Before Exit or a close: true when nothing is left unsaved, or when the user chose to quit
// and lose it (the vault is then closed); false to go back to the vault.
[[nodiscard]] bool MayLeave();
// Before the idle lock, which asks nothing: one more quiet try. False when a change is lost.
[[nodiscard]] bool SaveBeforeLock();

}  // namespace Commands
