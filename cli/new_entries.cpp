#include "cli/new_entries.h"

#include <functional>
#include <string_view>
#include <unordered_set>

namespace Cli {
namespace {

// The set holds pointers only, so no entry's text is copied.
struct EntryHash {
  size_t operator()(const Vault::Entry* e) const {
    const std::hash<std::string_view> hash;
    size_t h = hash(e->Omschrijving);
    for (const std::string* field : {&e->Url, &e->Gebruiker, &e->Wachtwoord}) {
      h = h * 31 + hash(*field);
    }
    return h;
  }
};

struct EntryEqual {
  bool operator()(const Vault::Entry* a, const Vault::Entry* b) const {
    return a->Omschrijving == b->Omschrijving && a->Url == b->Url && a->Gebruiker == b->Gebruiker &&
           a->Wachtwoord == b->Wachtwoord;
  }
};

}  // namespace

std::vector<size_t> MissingEntries(const std::vector<Vault::Entry>& present,
                                   const std::vector<Vault::Entry>& candidates) {
  std::unordered_set<const Vault::Entry*, EntryHash, EntryEqual> seen;
  seen.reserve(present.size() + candidates.size());
  for (const Vault::Entry& e : present) seen.insert(&e);
  std::vector<size_t> missing;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (seen.insert(&candidates[i]).second) missing.push_back(i);
  }
  return missing;
}

}  // namespace Cli
