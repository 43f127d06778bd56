// Realistic vault contents for the benchmarks.
#pragma once

#include <string>
#include <vector>

#include "vault/vault.h"

inline Vault::Entry MakeEntry(int i) {
  const std::string n = std::to_string(i);
  return {"Account " + n + " (caf\xC3\xA9)", "https://www.example" + n + ".com/login",
          "user" + n + "@example.com", "Xq7!rT2#pL9$" + n + "vB4&"};
}

inline std::vector<Vault::Entry> MakeEntries(int count) {
  std::vector<Vault::Entry> list;
  list.reserve(count);
  for (int i = 0; i < count; ++i) list.push_back(MakeEntry(i));
  return list;
}

// The most entries whose vault file stays within the format's 64 MiB (about 420,000).
inline int EntriesAtTheLimit() {
  static const int count = [] {
    const size_t room = Vault::kMaxFileSize - Vault::kMinFileSize;
    const size_t empty = Vault::JsonLength({});
    size_t length = empty - 1;  // the first entry has no comma before it
    int n = 0;
    for (;; ++n) {
      const size_t entry = Vault::JsonLength({MakeEntry(n)}) - empty + 1;
      if (length + entry > room) return n;
      length += entry;
    }
  }();
  return count;
}
