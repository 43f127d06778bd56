#include "cli/new_entries.h"

namespace Cli {

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

bool TooLargeTogether(const std::vector<Vault::Entry>& present,
                      const std::vector<Vault::Entry>& added) {
  if (added.empty()) return false;
  // Each list's length holds the root once and one comma fewer than it has entries; the
  // two together hold the root once and one comma more between them.
  const size_t root = Vault::JsonLength({});
  const size_t together =
      Vault::JsonLength(present) + Vault::JsonLength(added) - root + (present.empty() ? 0 : 1);
  return together > Vault::kMaxFileSize - Vault::kMinFileSize;
}

}  // namespace Cli
