// The general payload reader: any JSON text another writer may have made.
#pragma once

#include <cstddef>
#include <vector>

#include "vault/entries.h"

namespace Vault {

// Bytes the readers may look at past the end of the text.
constexpr size_t kPayloadPadding = 64;

// True when the text, followed by kPayloadPadding readable bytes, is an acceptable payload;
// list then holds its entries, else it is empty.
[[nodiscard]] bool ReadGeneralPayload(const char* text, size_t length, std::vector<Entry>& list);

}  // namespace Vault
