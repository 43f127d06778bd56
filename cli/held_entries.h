// A list of entries the companion reads or builds beside the open vault (an import's rows, a
// file checked): its passwords are wiped on every way out.
#pragma once

#include <vector>

#include "vault/vault.h"

namespace Cli {

// Secret: the entries' texts and the list's spare storage are wiped when the holder goes
// out of scope; never copied, so there is one owner. A move leaves the source empty.
struct HeldEntries {
  std::vector<Vault::Entry> list;

  HeldEntries() = default;
  HeldEntries(const HeldEntries&) = delete;
  HeldEntries& operator=(const HeldEntries&) = delete;
  HeldEntries(HeldEntries&& other) noexcept : list(std::move(other.list)) {}
  HeldEntries& operator=(HeldEntries&& other) noexcept {
    Vault::WipeEntries(list);
    list.swap(other.list);
    return *this;
  }
  ~HeldEntries() { Vault::WipeEntries(list); }
};

// Wipes the entries and empties the list before its holder is done with it.
inline void ReleaseEntries(HeldEntries& held) { Vault::WipeEntries(held.list); }

}  // namespace Cli
