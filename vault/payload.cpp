#include "vault/payload.h"

#include <cstdlib>
#include <cstring>

#include "vault/format.h"
#include "vault/payload_reader.h"
#include "vault/payload_shape.h"
#include "vault/sodium.h"

namespace Vault {

bool JsonToEntriesPadded(const char* text, size_t length, std::vector<Entry>& list) {
  if (length <= kMaxFileSize && ReadWriterShape(text, length, list)) return true;
  return ReadGeneralPayload(text, length, list);
}

bool JsonToEntries(std::string_view text, std::vector<Entry>& list) {
  // The writer's shape needs no padding, so only another writer's text is copied.
  if (text.size() <= kMaxFileSize && ReadWriterShape(text.data(), text.size(), list)) return true;
  // The padded copy is plaintext and is wiped like any other.
  const size_t capacity = text.size() + kPayloadPadding;
  auto* padded = static_cast<char*>(std::malloc(capacity));
  if (padded == nullptr) {
    WipeEntries(list);
    return false;
  }
  std::memcpy(padded, text.data(), text.size());
  std::memset(padded + text.size(), 0, kPayloadPadding);
  const bool accepted = ReadGeneralPayload(padded, text.size(), list);
  WipeAndFree(padded, capacity);
  return accepted;
}

}  // namespace Vault
