#include "vault/entries.h"

#include "vault/sodium.h"

namespace Vault {

namespace {

constexpr size_t kFirstCapacity = 16;  // entries, when a list first grows by hand

// The storage past the live entries: short texts live inside the entries themselves, so
// entries moved or destroyed leave their characters there.
void WipeSpare(std::vector<Entry>& list) {
  if (list.capacity() == list.size()) return;  // also a list that never had storage
  WipeMemory(list.data() + list.size(), (list.capacity() - list.size()) * sizeof(Entry));
}

}  // namespace

bool SameName(const Entry& a, const Entry& b) {
  for (const EntryField& field : kEntryFields) {
    if (field.names && a.*field.member != b.*field.member) return false;
  }
  return true;
}

std::string EntryName(const Entry& entry, std::string (*shown)(std::string_view)) {
  std::string name = shown(entry.*kEntryFields[kDescriptionField].member);
  for (size_t f = 0; f < kEntryFieldCount; ++f) {
    const std::string& part = entry.*kEntryFields[f].member;
    if (f != kDescriptionField && kEntryFields[f].names && !part.empty()) {
      name += " (" + shown(part) + ")";
    }
  }
  return name;
}

void WipeEntry(Entry& entry) {
  for (const EntryField& field : kEntryFields) {
    std::string& text = entry.*field.member;
    WipeMemory(text.data(), text.size());
  }
}

void WipeEntries(std::vector<Entry>& list) {
  for (Entry& e : list) WipeEntry(e);
  list.clear();
  WipeSpare(list);
}

void AppendEntry(std::vector<Entry>& list, const Entry& entry) {
  if (list.size() == list.capacity()) {
    // Grown by hand, so that the old storage is wiped before it is given back.
    std::vector<Entry> grown;
    grown.reserve(list.capacity() < kFirstCapacity ? kFirstCapacity : 2 * list.capacity());
    for (Entry& e : list) grown.push_back(std::move(e));
    WipeEntries(list);
    list.swap(grown);
  }
  list.push_back(entry);
}

void EraseEntry(std::vector<Entry>& list, size_t index) {
  WipeEntry(list[index]);
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  WipeSpare(list);
}

}  // namespace Vault
