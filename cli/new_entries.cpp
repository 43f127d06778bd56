#include "cli/new_entries.h"

#include <functional>
#include <string_view>

namespace Cli {
namespace {

size_t HashOf(const Vault::Entry& e) {
  const std::hash<std::string_view> hash;
  size_t h = 0;
  for (const Vault::EntryField& field : Vault::kEntryFields) h = h * 31 + hash(e.*field.member);
  return h;
}

}  // namespace

std::vector<size_t> MissingEntries(const std::vector<Vault::Entry>& present,
                                   const std::vector<Vault::Entry>& candidates) {
  // One flat table of numbers (open addressing): no entry's text is copied, and no node is
  // allocated per entry. Slot value k + 1 stands for entry k of present, then candidates.
  const size_t total = present.size() + candidates.size();
  size_t capacity = 16;
  while (capacity < 2 * total) capacity *= 2;
  std::vector<size_t> slots(capacity, 0);
  auto entryAt = [&](size_t k) -> const Vault::Entry& {
    return k < present.size() ? present[k] : candidates[k - present.size()];
  };
  auto insert = [&](size_t k) {  // true when no equal entry was there yet
    const Vault::Entry& e = entryAt(k);
    for (size_t slot = HashOf(e) & (capacity - 1);; slot = (slot + 1) & (capacity - 1)) {
      if (slots[slot] == 0) {
        slots[slot] = k + 1;
        return true;
      }
      if (entryAt(slots[slot] - 1) == e) return false;
    }
  };
  for (size_t k = 0; k < present.size(); ++k) (void)insert(k);
  std::vector<size_t> missing;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (insert(present.size() + i)) missing.push_back(i);
  }
  return missing;
}

void KeepEntries(std::vector<Vault::Entry>& list, const std::vector<size_t>& indices) {
  if (indices.size() == list.size()) return;  // all of them: the usual import
  std::vector<bool> kept(list.size(), false);
  for (size_t i : indices) kept[i] = true;
  for (size_t i = 0; i < list.size(); ++i) {
    if (!kept[i]) Vault::WipeEntry(list[i]);
  }
  size_t next = 0;
  for (size_t i : indices) {
    if (i != next) list[next] = std::move(list[i]);
    ++next;
  }
  list.resize(next);  // the room left over is wiped with the list (Vault::WipeEntries)
}

}  // namespace Cli
