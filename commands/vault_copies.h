// The copies of the vault that sync tools leave beside it when both computers changed it
// (and Lockwell's own kept copies): after login and whenever one appears, the user is asked
// once per copy whether to merge it in.
#pragma once

namespace Commands {

// On the timer tick, when the vault's folder changed: offers each copy not yet asked about
// in this run. A copy that adds nothing is removed without a question.
void OfferVaultCopies();
// After a login: the copies there now are offered at the next tick and merged as a union,
// since the window holds no base that a copy found then is known to share.
void ScanCopiesAfterLogin();

}  // namespace Commands
