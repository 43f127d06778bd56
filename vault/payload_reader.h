// The general payload reader: any JSON text another writer may have made. Part of the
// payload, for the vault core only.
#pragma once

#include <cstddef>
#include <vector>

#include "vault/payload.h"

namespace Vault {

// True when the text, followed by kPayloadPadding readable bytes, is an acceptable payload;
// list then holds its entries, else it is empty.
[[nodiscard]] bool ReadGeneralPayload(const char* text, size_t length, std::vector<Entry>& list);

}  // namespace Vault
