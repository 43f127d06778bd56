// Copying a user name or password to the clipboard, and clearing it again 15 s later if
// it still holds what was copied.
#pragma once

#include <cstdint>
#include <string>

namespace Features {

// Puts text on the CLIPBOARD selection and starts the 15 s deadline.
void CopyToClipboard(const std::string& text);
// Copies the selected entry's user name or password, if an entry is selected.
void CopySelectedUser();
void CopySelectedPassword();
// On every tick: once the copy is due, asks for the clipboard's text without waiting, and
// settles the copy when the answer comes, or as another program's text when the owner has
// not answered within a second.
void SettleDueCopy(int64_t nowMs);
// At once (logout, program end): clears the clipboard if it still holds the pending copy,
// waiting at most a second for its owner; forgets the copy in any case.
void SettlePendingCopy();
// Clock value at which the pending copy falls due; 0 when none is pending.
[[nodiscard]] int64_t ClearAt();
// At the end of the run: offers the clipboard to the desktop's clipboard manager.
void HandOverClipboard();

}  // namespace Features
