// Realistic vault contents for the benchmarks.
#pragma once

#include <string>
#include <vector>

#include "vault/vault.h"

inline std::vector<Vault::Entry> MakeEntries(int count) {
  std::vector<Vault::Entry> list;
  list.reserve(count);
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    list.push_back({"Account " + n + " (caf\xC3\xA9)", "https://www.example" + n + ".com/login",
                    "user" + n + "@example.com", "Xq7!rT2#pL9$" + n + "vB4&"});
  }
  return list;
}
