// The JSON payload inside a vault file: the entry list as text and back.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "vault/entries.h"
#include "vault/json_text.h"
#include "vault/payload_reader.h"
#include "vault/payload_shape.h"

namespace Vault {

// True when text is an acceptable payload; list then holds its entries, else it is empty.
// The writer's own shape is read by its fast reader, anything else by the general one.
[[nodiscard]] bool JsonToEntries(std::string_view text, std::vector<Entry>& list);
// The same, reading a buffer that has kPayloadPadding readable bytes after the text, so
// that no copy of the plaintext is made.
[[nodiscard]] bool JsonToEntriesPadded(const char* text, size_t length, std::vector<Entry>& list);

}  // namespace Vault
