// The entry list and its storage, which is wiped wherever texts of entries are left behind.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Vault {

struct Entry {
  std::string Omschrijving;  // description
  std::string Url;
  std::string Gebruiker;   // user name
  std::string Wachtwoord;  // password

  bool operator==(const Entry&) const = default;
};

// Wipes the characters of every entry, then empties the list.
void WipeEntries(std::vector<Entry>& list);
// Appends a copy of an entry; when the list must grow, its old storage is wiped first.
void AppendEntry(std::vector<Entry>& list, const Entry& entry);
// Removes an entry, wiping its texts and what the removal leaves behind in the list.
void EraseEntry(std::vector<Entry>& list, size_t index);

}  // namespace Vault
