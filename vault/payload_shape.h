// The payload in the writer's own shape: the writer, and the fast reader of that shape. Part
// of the payload, for the vault core only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vault/payload.h"

namespace Vault {

// Writes the payload of a list into a buffer of JsonLength(list) bytes.
void WriteJson(const std::vector<Entry>& list, char* out);

// True when the whole text has exactly the writer's shape and is valid; list then holds its
// entries. False (list empty) says only "not that shape": the general reader decides.
[[nodiscard]] bool ReadWriterShape(const char* text, size_t length, std::vector<Entry>& list);

}  // namespace Vault
