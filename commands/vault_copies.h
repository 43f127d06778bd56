// The copies of the vault that sync tools leave beside it when both computers changed it
// (and Lockwell's own kept copies): after login and whenever new ones appear, the user is
// asked once about all of those that appeared together.
#pragma once

namespace Commands {

// On the timer tick, when the vault's folder changed: offers the copies not yet asked about
// in this run and not turned down before. Copies that add nothing are removed without a
// question; one that cannot be read is named once in the status bar.
void OfferVaultCopies();
// After a login: the copies there now are offered at the next tick.
void ScanCopiesAfterLogin();

}  // namespace Commands
