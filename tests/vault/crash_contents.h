// The two contents the crash harness saves in turn, known to the test that kills it.
#pragma once

#include <vector>

#include "vault/vault.h"

namespace CrashContents {

inline std::vector<Vault::Entry> X() {
  return {{"mail", "https://mail.example", "ann", "first secret"}};
}
// Longer than X, so that a torn write could not pass for either.
inline std::vector<Vault::Entry> Y() {
  return {{"bank", "https://bank.example", "bob", "second secret"},
          {"shop", "", "carol", "third secret"}};
}

}  // namespace CrashContents
